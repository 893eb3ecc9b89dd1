// Windows-1252 conversion and letter case.
#include "platform/sim/sim_text.h"

namespace ostrevo {
namespace {

// Bytes 0x80-0x9F of Windows-1252; 0 marks the five undefined bytes, which map to themselves.
constexpr char16_t kHighControls[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                        0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

wchar_t ByteToChar(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0 && kHighControls[byte - 0x80] != 0) {
        return static_cast<wchar_t>(kHighControls[byte - 0x80]);
    }
    return static_cast<wchar_t>(byte);
}

char CharToByte(wchar_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(static_cast<unsigned char>(c));
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == 0 && c == static_cast<wchar_t>(0x80 + i)) return static_cast<char>(0x80 + i);
        if (kHighControls[i] != 0 && c == static_cast<wchar_t>(kHighControls[i])) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

}  // namespace

std::string SimText::ToAnsi(const std::wstring& text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (wchar_t c : text) bytes += CharToByte(c);
    return bytes;
}

std::wstring SimText::FromAnsi(const std::string& bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (char b : bytes) text += ByteToChar(static_cast<unsigned char>(b));
    return text;
}

std::wstring SimText::ToUpper(const std::wstring& text) {
    std::wstring upper = text;
    for (wchar_t& c : upper) {
        if ((c >= L'a' && c <= L'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
            c = static_cast<wchar_t>(c - 0x20);
        } else if (c == 0xFF) {
            c = 0x178;
        } else if (c == 0x161 || c == 0x153 || c == 0x17E) {
            c = static_cast<wchar_t>(c - 1);
        }
    }
    return upper;
}

std::wstring SimText::ErrorText(ErrorCode code) {
    switch (code) {
        case kErrorFileNotFound:
            return L"The system cannot find the file specified.";
        case kErrorPathNotFound:
            return L"The system cannot find the path specified.";
        case kErrorAccessDenied:
            return L"Access is denied.";
        case kErrorNotReady:
            return L"The device is not ready.";
        case kErrorSharingViolation:
            return L"The process cannot access the file because it is being used by another process.";
        default:
            return std::wstring();
    }
}

}  // namespace ostrevo
