// Fuzzes the delimited-list utilities: the one-pass split must agree with the item-by-item reads,
// and finding and adding items must round-trip.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "platform/sim/sim_text.h"
#include "util/app_utils.h"

namespace ostrevo {
namespace {

constexpr size_t kMaxListLength = 400;

// Letters in both cases, the program's delimiter and a few others, so that delimiters and
// case-blind matches turn up often.
std::wstring Text(FuzzedDataProvider& input, size_t maxLength) {
    static const wchar_t kAlphabet[] = L"aAbB\u00E1\u00C1,xX\u00FF\u0178";
    const size_t length = input.ConsumeIntegralInRange<size_t>(0, maxLength);
    std::wstring text;
    for (size_t i = 0; i < length && input.remaining_bytes() > 0; ++i) {
        const uint8_t pick = input.ConsumeIntegral<uint8_t>();
        text += pick < 220 ? kAlphabet[pick % (sizeof(kAlphabet) / sizeof(wchar_t) - 1)]
                           : static_cast<wchar_t>(pick - 219);
    }
    return text;
}

// A delimiter that can overlap itself ("aa", "aba") is counted differently by the two kinds of
// reading; the program passes only the one-character delimiter.
bool OverlapsItself(const std::wstring& delimiter) {
    for (size_t border = 1; border < delimiter.size(); ++border) {
        if (delimiter.compare(0, border, delimiter, delimiter.size() - border, border) == 0) return true;
    }
    return false;
}

int32_t FirstMatch(const std::wstring& item, const std::vector<std::wstring>& items, SimText& text) {
    for (size_t i = 0; i < items.size(); ++i) {
        if (text.ToUpper(items[i]) == text.ToUpper(item)) return static_cast<int32_t>(i + 1);
    }
    return -1;
}

void CheckLists(FuzzedDataProvider& input) {
    SimText text;
    const std::wstring delimiter = input.ConsumeBool() ? ListDelimiter() : Text(input, 3);
    if (delimiter.empty()) return;  // never passed by the program, and left open
    const std::wstring list = Text(input, kMaxListLength);
    const std::wstring item = Text(input, 6);
    const std::wstring fallback = Text(input, 3);
    const bool atFront = input.ConsumeBool();

    const std::vector<std::wstring> items = SplitList(list, delimiter);
    FUZZ_CHECK(JoinList(items, delimiter) == list);
    const int32_t count = ListItemCount(list, delimiter);
    FUZZ_CHECK(list.empty() ? count == 0 && items.empty() : count >= 1);
    FUZZ_CHECK(static_cast<size_t>(count) >= items.size());
    if (OverlapsItself(delimiter)) {
        for (int32_t i = -1; i <= count + 1; ++i) GetListItem(i, list, delimiter);  // must merely not fail
        FindListItem(item, list, delimiter, text);
        return;
    }

    FUZZ_CHECK(static_cast<size_t>(count) == items.size());
    for (int32_t i = 1; i <= count; ++i) FUZZ_CHECK(GetListItem(i, list, delimiter) == items[i - 1]);
    FUZZ_CHECK(GetListItem(count + 1, list, delimiter).empty());
    // Index 0 and below give the whole text only when there is no delimiter in it.
    const std::wstring belowOne = count == 1 ? list : std::wstring();
    FUZZ_CHECK(GetListItem(0, list, delimiter) == belowOne);
    FUZZ_CHECK(GetListItem(-1, list, delimiter) == belowOne);
    FUZZ_CHECK(GetListItem(INT32_MIN, list, delimiter) == belowOne);
    FUZZ_CHECK(FindListItem(item, list, delimiter, text) == FirstMatch(item, items, text));

    // Adding an item without the delimiter in it gives exactly one more item, where it was asked for.
    const std::wstring added = TextOrDefault(item, fallback);
    if (added.find(delimiter) != std::wstring::npos) return;
    std::wstring grown = list;
    AddListItem(item, grown, atFront, delimiter, fallback);
    std::vector<std::wstring> expected = items;
    if (list.empty()) {
        expected.clear();  // an empty text added to the empty list leaves the empty list
        if (!added.empty()) expected.push_back(added);
    } else if (atFront) {
        expected.insert(expected.begin(), added);
    } else {
        expected.push_back(added);
    }
    // A delimiter that cannot overlap itself cannot be spelled across the joins either.
    FUZZ_CHECK(SplitList(grown, delimiter) == expected);
    FUZZ_CHECK(ListItemCount(grown, delimiter) == static_cast<int32_t>(expected.size()));
    FUZZ_CHECK(FindListItem(added, grown, delimiter, text) == FirstMatch(added, expected, text));
    FUZZ_CHECK(FindListItem(added, grown, delimiter, text) != -1 || grown.empty());
}

}  // namespace
}  // namespace ostrevo

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    ostrevo::CheckLists(input);
    return 0;
}
