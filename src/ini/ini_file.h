// cIniFile: a cursor over one key of one section of a profile file, on the platform's profile calls.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/profile_api.h"
#include "platform/text_api.h"
#include "platform/window_api.h"

namespace ostrevo {

class cIniFile {
public:
    cIniFile(ProfileApi& profile, TextApi& text) : profile_(profile), text_(text) {}

    int32_t LastReturnCode() const { return lastReturnCode_; }
    bool Success() const { return lastReturnCode_ != 0; }
    // Why the last write failed, taken from that write alone; kErrorSuccess after one that did not.
    ErrorCode LastError() const { return lastError_; }

    // Unset properties go to the platform as absent (null) arguments; set ones, even empty, as text.
    void Default(const std::wstring& sDefault) { default_ = sDefault; }
    std::wstring Default() const { return default_.value_or(L""); }
    void Path(const std::wstring& sPath) { path_ = sPath; }
    std::wstring Path() const { return path_.value_or(L""); }
    void Key(const std::wstring& sKey) { key_ = sKey; }
    std::wstring Key() const { return key_.value_or(L""); }
    void Section(const std::wstring& sSection) { section_ = sSection; }
    std::wstring Section() const { return section_.value_or(L""); }

    // The value of Key, or Default when missing; cut to 254 characters like the 255-character read.
    std::wstring Value() const;
    // Writes sValue with its NUL characters removed.
    void Value(const std::wstring& sValue);

    void DeleteKey();
    void DeleteSection();
    // The key names of Section, each followed by a NUL.
    std::wstring INISection() const;
    // Removes Section whatever sSection holds: the platform ignores the text with an absent key.
    void INISection(const std::wstring& sSection);
    // The names of all sections, each followed by a NUL.
    std::wstring Sections() const;

    // Array elements are 0-based here; iCount is their number.
    void EnumerateCurrentSection(std::vector<std::wstring>& sKey, int32_t& iCount) const;
    void EnumerateAllSections(std::vector<std::wstring>& sSections, int32_t& iCount) const;

    // The smallest width and height, in twips, that a restored window gets unless the caller says.
    static constexpr double kMinFormSize = 3000;
    // Stores the window's state, and its position and size when it is a normal window, in Section.
    // Key is left as found; a window lacking a member it needs leaves LastReturnCode 0.
    void SaveFormPosition(FormWindow& frmThis);
    // Restores what SaveFormPosition stored, kept 4 pixels inside the screen and no smaller than the
    // minimum. Key and Default are left as found; any failure leaves LastReturnCode 0.
    void LoadFormPosition(FormWindow& frmThis, ScreenMetrics& screen, double lMinWidth = kMinFormSize,
                          double lMinHeight = kMinFormSize);

    static int32_t CLngDefault(const std::wstring& sString, TextApi& locale, int32_t lDefault = 0);
    int32_t CLngDefault(const std::wstring& sString, int32_t lDefault = 0) const {
        return CLngDefault(sString, text_, lDefault);
    }

private:
    static constexpr uint32_t kValueBufferSize = 255;
    static constexpr uint32_t kListBufferSize = 8192;

    // `size` is one of the two buffer sizes above.
    std::wstring Read(const std::optional<std::wstring>& section, const std::optional<std::wstring>& key,
                      uint32_t size) const;
    void Write(const std::optional<std::wstring>& key, const std::optional<std::wstring>& text);
    // The steps of the placement methods; false on the first failure, with the rest skipped.
    bool WritePlacement(FormWindow& frmThis);
    bool ApplyPlacement(FormWindow& frmThis, ScreenMetrics& screen, double minWidth, double minHeight);
    std::optional<int32_t> StoredOr(const wchar_t* key, std::optional<double> (FormWindow::*current)(),
                                    FormWindow& frmThis);

    ProfileApi& profile_;
    TextApi& text_;
    std::optional<std::wstring> path_;
    std::optional<std::wstring> key_;
    std::optional<std::wstring> section_;
    std::optional<std::wstring> default_;
    int32_t lastReturnCode_ = 0;
    ErrorCode lastError_ = kErrorSuccess;
};

}  // namespace ostrevo
