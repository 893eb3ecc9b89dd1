// Where the boot configuration lives and how its entries are read into the menu.
#pragma once
#include <string>

namespace ostrevo {

// The file is found through every spelling below: Windows compares file names without case.
constexpr const wchar_t* kBootIniExistsPath = L"C:\\Boot.ini";
constexpr const wchar_t* kBootIniKeyListPath = L"c:\\Boot.ini";
constexpr const wchar_t* kBootIniReadPath = L"C:\\boot.ini";
constexpr const wchar_t* kBootIniWritePath = L"c:\\boot.ini";

constexpr const wchar_t* kOperatingSystemsSection = L"operating systems";
constexpr const wchar_t* kBootLoaderSection = L"boot loader";
constexpr const wchar_t* kTimeoutKey = L"Timeout";
constexpr const wchar_t* kDefaultKey = L"Default";

// The caption of a boot entry: the quoted name when the value starts with a double quote
// (the rest of the value when no closing quote follows), otherwise the whole value.
std::wstring DisplayName(const std::wstring& value);

}  // namespace ostrevo
