#pragma once
// A COM interface pointer that is released when it goes out of scope; its
// address (&ref) receives a new interface from a creating call. And COM's
// start, once for the program.

// Starts COM, single-threaded, on the calling thread the first time only: the
// user-interface thread, which decodes the images and opens capture volumes.
void StartCom();

template <class T>
class TComRef {
public:
    TComRef() = default;
    ~TComRef()
    {
        if (FRef)
            FRef->Release();
    }
    TComRef(const TComRef&) = delete;
    TComRef& operator=(const TComRef&) = delete;
    T** operator&() { return &FRef; }
    T* operator->() const { return FRef; }
    T* Get() const { return FRef; }
    // Hands the interface over to the caller, who releases it.
    T* Detach()
    {
        T* ref = FRef;
        FRef = nullptr;
        return ref;
    }

private:
    T* FRef = nullptr;
};
