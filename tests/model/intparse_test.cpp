// Conversion error messages keep the whole text that did not convert.
#include <gtest/gtest.h>

#include <string>

#include "intparse.h"

using namespace lumora;

TEST(IntegerParsing, ConversionErrorCarriesTheWholeTextWithNulShownAsBlank)
{
    using namespace std::string_literals;
    struct Case {
        std::string typed;
        std::string message;
    };
    const Case cases[] = {
        {"1\0"s, "'1 ' is not a valid integer value"},
        {"\0"s, "' ' is not a valid integer value"},
        {"\0"s
         "7",
         "' 7' is not a valid integer value"},
        {"a\0b\0\0c"s, "'a b  c' is not a valid integer value"},
        {"$1F\0\xE9"s, "'$1F \xE9' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        try {
            StrToInt(c.typed);
            ADD_FAILURE() << "accepted " << c.message;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), c.message);
            // what() is read as a C string by the error boxes and the library's C interface.
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}
