#pragma once
// The version-information service: the size of a file's version block, a copy of
// it, and queries into that copy by path, over the VS_VERSIONINFO layout
// (16-bit little-endian text, 32-bit aligned nodes).
//
// On Linux the block lives in the ELF section VersionInfoSectionName of an
// executable. The copy that GetFileVersionInfo fills is the block followed by a
// side area with the UTF-8 form of every string value, so that VerQueryValue
// can hand out NUL-terminated 8-bit strings without writing to the block.

#include <cstdint>
#include <string>

// The ELF section that carries a file's version block.
inline constexpr const char* VersionInfoSectionName = ".quimbrel_versioninfo";

// The fixed part of a version block (52 bytes), the value of its root node.
struct VS_FIXEDFILEINFO {
    uint32_t dwSignature;         // VS_FFI_SIGNATURE
    uint32_t dwStrucVersion;      // layout version, 0x00010000
    uint32_t dwFileVersionMS;     // file version parts 1 (high 16 bits) and 2 (low)
    uint32_t dwFileVersionLS;     // file version parts 3 (high) and 4 (low)
    uint32_t dwProductVersionMS;  // product version parts 1 and 2
    uint32_t dwProductVersionLS;  // product version parts 3 and 4
    uint32_t dwFileFlagsMask;     // which bits of dwFileFlags are meaningful
    uint32_t dwFileFlags;         // VS_FF_* bits
    uint32_t dwFileOS;            // target operating system, 0 when unknown
    uint32_t dwFileType;          // VFT_APP for a program
    uint32_t dwFileSubtype;       // 0 for a program
    uint32_t dwFileDateMS;        // creation date, high half; usually 0
    uint32_t dwFileDateLS;        // creation date, low half; usually 0
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52, "the fixed record is 13 32-bit words");

inline constexpr uint32_t VS_FFI_SIGNATURE = 0xFEEF04BD;
inline constexpr uint32_t VS_FFI_STRUCVERSION = 0x00010000;
inline constexpr uint32_t VS_FF_DEBUG = 0x01;
inline constexpr uint32_t VS_FF_PRERELEASE = 0x02;
inline constexpr uint32_t VS_FF_PATCHED = 0x04;
inline constexpr uint32_t VS_FF_PRIVATEBUILD = 0x08;
inline constexpr uint32_t VS_FF_INFOINFERRED = 0x10;
inline constexpr uint32_t VS_FF_SPECIALBUILD = 0x20;
inline constexpr uint32_t VFT_APP = 0x1;

// The number of bytes GetFileVersionInfo needs for the file's version block; 0
// when the file is missing, unreadable, not a 64-bit little-endian ELF file, has
// no version section, or its block's root node is unusable. Sets *Handle to 0
// when Handle is not null.
uint32_t GetFileVersionInfoSize(const std::string& FileName, uint32_t* Handle);

// Fills Data (Len bytes, 4-byte aligned) with the file's version block and its
// side area. Handle is ignored. When the block cannot be read or needs more than
// Len bytes, Data is zero-filled (every later query fails) and false returned.
bool GetFileVersionInfo(const std::string& FileName, uint32_t Handle, uint32_t Len, void* Data);

// The same two steps for a raw VS_VERSIONINFO block already in memory (RawLen
// bytes), such as one taken from a compiled resource file.
uint32_t GetVersionInfoSizeFromBlock(const void* Raw, uint32_t RawLen);
bool GetVersionInfoFromBlock(const void* Raw, uint32_t RawLen, uint32_t Len, void* Data);

// Looks SubBlock up in a buffer filled by GetFileVersionInfo or
// GetVersionInfoFromBlock. Paths are made of names separated by '\', compared
// without regard to ASCII case:
//   "\"                            the VS_FIXEDFILEINFO; *Len = its size in bytes
//   "\VarFileInfo\Translation"     the (language, code page) pairs, 16 bits each,
//                                  inside the block and writable; *Len in bytes
//   "\StringFileInfo\<8 hex>\<key>" a NUL-terminated UTF-8 string in the side
//                                  area; *Len = its length in bytes with the NUL
// Other paths under "StringFileInfo" fail; any other path gives the binary
// value of the node it names. On failure
// *Buffer is null, *Len is 0 and false is returned. Len may be null.
bool VerQueryValue(const void* Block, const std::string& SubBlock, void** Buffer, uint32_t* Len);
