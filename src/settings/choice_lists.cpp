#include "settings/choice_lists.h"

namespace settings {

const std::vector<std::string_view>& BaudChoices() {
    static const std::vector<std::string_view> items{"1200", "2400", "4800", "9600"};
    return items;
}

const std::vector<std::string_view>& ParityChoices() {
    static const std::vector<std::string_view> items{"None", "Odd", "Even"};
    return items;
}

const std::vector<std::string_view>& CommandChoices() {
    static const std::vector<std::string_view> items{"0_Close", "1_CMD1", "2_CMD2", "3_CMD3",
                                                     "4_CMD4"};
    return items;
}

const std::vector<std::string_view>& FormatChoices() {
    static const std::vector<std::string_view> items{
        "0 Read float 4321",
        "1 Read float 2143",
        "2 Read float 1234",
        "3 Read U32 4321",
        "4 Read U32 2143",
        "5 Read U32 1234",
        "6 Read S32 4321",
        "7 Read S32 2143",
        "8 unsigned integer",
        "9 signed (inverted)",
        "10 signed (non-inverted)",
        "11 BCD parse (high-low order)",
        "12 BCD parse (low-high order)",
        "13 String parse (high-low order)",
        "14 String parse (low-high order)",
        "15 Double float (high-low order)",
        "16 Double float (low-high order)",
        "17 BCD_LH_0x33",
        "18 Int2/10",
        "19 Int2/10-100",
        "20 Int2/100",
        "21 Int2/1000",
        "22 String-to-float",
    };
    return items;
}

const std::vector<std::string_view>& FormatChoicesOfRow2() {
    static const std::vector<std::string_view> items = [] {
        std::vector<std::string_view> list = FormatChoices();
        list.emplace_back("");
        return list;
    }();
    return items;
}

const std::vector<std::string_view>& EnableChoices() {
    static const std::vector<std::string_view> items{"Close", "Open"};
    return items;
}

}  // namespace settings
