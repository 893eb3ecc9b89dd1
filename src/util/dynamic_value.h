// A value that carries its own kind, as a registry read returns it.
#pragma once
#include <cstdint>
#include <string>

namespace ostrevo {

class DynamicValue {
public:
    enum class Kind { Null, Empty, Text, Integer };

    DynamicValue() = default;  // empty: never set
    static DynamicValue Null() { return DynamicValue(Kind::Null, {}, 0); }
    static DynamicValue FromText(std::wstring text) { return DynamicValue(Kind::Text, std::move(text), 0); }
    static DynamicValue FromInteger(int32_t number) { return DynamicValue(Kind::Integer, {}, number); }

    Kind kind() const { return kind_; }
    const std::wstring& text() const { return text_; }
    int32_t integer() const { return integer_; }

    bool operator==(const DynamicValue& other) const {
        return kind_ == other.kind_ && text_ == other.text_ && integer_ == other.integer_;
    }

private:
    DynamicValue(Kind kind, std::wstring text, int32_t number)
        : kind_(kind), text_(std::move(text)), integer_(number) {}

    Kind kind_ = Kind::Empty;
    std::wstring text_;
    int32_t integer_ = 0;
};

}  // namespace ostrevo
