#pragma once
// A fresh temporary folder for one test, removed with everything in it when
// the object goes.

#include <string>

class TScratchDir {
public:
    TScratchDir();
    ~TScratchDir();
    TScratchDir(const TScratchDir&) = delete;
    TScratchDir& operator=(const TScratchDir&) = delete;

    const std::string& Path() const { return FPath; }
    // Path of a file named Name inside the folder.
    std::string File(const std::string& Name) const { return FPath + "/" + Name; }

private:
    std::string FPath; // absolute path of the folder
};
