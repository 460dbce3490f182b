#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string SourceFile(const char* relative) {
    std::ifstream in(std::string(LANVISOR_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The sample is run by the system's command interpreter: plain ASCII, no
// byte-order mark, every line ended by CR LF.
TEST(ConnectIpSample, IsAPlainBatchFileThatWritesLogTxt) {
    std::string bytes = SourceFile("src/nettools/connect_ip.bat");
    ASSERT_FALSE(bytes.empty());
    EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    for (size_t i = 0; i < bytes.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        ASSERT_TRUE(c == '\r' || c == '\n' || (c >= 0x20 && c < 0x7F)) << "byte " << i;
        if (c == '\n') {
            ASSERT_EQ(bytes[i - 1], '\r') << "byte " << i;
        }
        if (c == '\r') {
            ASSERT_EQ(bytes[i + 1], '\n') << "byte " << i;
        }
    }
    // Started elevated, a batch file runs in the system folder: the log must
    // still land beside the program.
    EXPECT_NE(bytes.find("cd /d \"%~dp0\""), std::string::npos);
}

}  // namespace
