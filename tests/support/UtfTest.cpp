#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "support/LogFile.h"
#include "support/Utf.h"

namespace {

pw::ByteView View(const std::string& s) {
    return pw::ByteView(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

TEST(Utf, RoundTripsAcrossPlanes) {
    const std::string text = "A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80";  // A é 中 😀
    const std::string utf16 = pw::Utf8ToUtf16Le(text);
    EXPECT_EQ(utf16.size(), 10u);  // three BMP units and one surrogate pair
    EXPECT_EQ(pw::Utf16LeToUtf8(View(utf16)), text);
}

TEST(Utf, DamagedInputBecomesReplacementCharacters) {
    const std::string loneSurrogate("\x00\xD8\x41\x00", 4);
    EXPECT_EQ(pw::Utf16LeToUtf8(View(loneSurrogate)), "\xEF\xBF\xBD" "A");
    const std::string oddLength("\x41\x00\x42", 3);
    EXPECT_EQ(pw::Utf16LeToUtf8(View(oddLength)), "A");
    EXPECT_EQ(pw::Utf8ToUtf16Le("\xFF"), std::string("\xFD\xFF", 2));
}

TEST(LogFile, WritesUtf16WithByteOrderMarkAndCrLf) {
    const std::string path = ::testing::TempDir() + "pagewright_log_test.txt";
    {
        pw::LogFile log;
        ASSERT_TRUE(log.Open(path));
        log.WriteLine("ok");
    }
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, std::string("\xFF\xFEo\0k\0\r\0\n\0", 10));
}

}  // namespace
