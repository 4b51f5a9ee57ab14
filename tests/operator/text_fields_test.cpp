#include "operator/shell/text_fields.h"

#include <gtest/gtest.h>

using namespace quorvel;

TEST(TextFields, TokensIpOffsetsNumbersAndQuotedAnswers) {
    QString text = "2.40#1.12#1.05";
    EXPECT_EQ(NextToken(text, "#"), "2.40");
    EXPECT_EQ(text, "1.12#1.05");
    EXPECT_EQ(NextToken(text, "#"), "1.12");
    EXPECT_EQ(NextToken(text, "#"), "1.05");
    EXPECT_EQ(text, "");
    EXPECT_EQ(NextToken(text, "#"), "");
    text = "a,";
    EXPECT_EQ(NextToken(text, ","), "a");
    EXPECT_TRUE(text.isEmpty());

    EXPECT_EQ(OffsetIpAddress("192.168.0.140", 1), "192.168.0.141");
    EXPECT_EQ(OffsetIpAddress("10.1.2.0", 255), "10.1.2.255");
    EXPECT_EQ(OffsetIpAddress("127.0.0.1:5025", 2), "127.0.0.3:5025");
    EXPECT_EQ(OffsetIpAddress("192.168.0.250", 6), "192.168.0.250");  // sum above 255
    EXPECT_EQ(OffsetIpAddress("192.168.0.", 1), "192.168.0.");        // nothing behind the dot
    EXPECT_EQ(OffsetIpAddress("rack.local", 1), "rack.local");        // fewer than three dots
    EXPECT_EQ(OffsetIpAddress("", 1), "");

    EXPECT_EQ(LeadingNumber("57600"), 57600);
    EXPECT_EQ(LeadingNumber(" 12abc"), 12);
    EXPECT_EQ(LeadingNumber("-1"), -1);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber(""), 0);

    EXPECT_EQ(StripQuotedAnswer("\"A01\"\r\nrest"), "A01");
    EXPECT_EQ(StripQuotedAnswer("?"), "");
    EXPECT_EQ(StripQuotedAnswer(""), "");
}
