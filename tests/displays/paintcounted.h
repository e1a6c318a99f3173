#pragma once
// A control of class TBase that counts its paints.

template <class TBase>
class TPaintCounted : public TBase {
public:
    using TBase::TBase;
    int Paints = 0; // calls of Paint so far

protected:
    void Paint() override
    {
        ++Paints;
        TBase::Paint();
    }
};
