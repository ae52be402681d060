#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "file/CFile.h"
#include "file/CNormalFile.h"
#include "support/DebugCapture.h"
#include "support/ScratchDir.h"

using namespace Corvane::Base::File;

TEST(NormalFile, PartialElementsAtTheEnd)
{
    TestSupport::ScratchDir dir;
    ASSERT_TRUE(dir.WriteFile("n.bin", "0123456789ABCDEF"));
    CNormalFile f;
    ASSERT_EQ(1, f.Load(dir / "n.bin"));
    ASSERT_TRUE(f.Seek(6, 0));
    char buf[16];
    std::memset(buf, '.', sizeof(buf));
    EXPECT_EQ(2u, f.Read(buf, 4, 3));  // 10 bytes left: two whole elements
    EXPECT_EQ(std::string("6789ABCDEF.."), std::string(buf, 12));
    EXPECT_EQ(0u, f.Read(buf, 4, 3));
    EXPECT_EQ(0u, f.Read(buf, 4, 0));
    EXPECT_EQ(0u, f.Read(buf, 0, 4));
    EXPECT_TRUE(f.Seek(-4, 2));
    EXPECT_EQ(12u, f.Tell());
    EXPECT_FALSE(f.Seek(0, 3));
    EXPECT_EQ(12u, f.Tell());
    EXPECT_TRUE(f.Seek(-2, 1));
    EXPECT_EQ(10u, f.Tell());
    f.Rewind();
    EXPECT_EQ(0u, f.Tell());
    EXPECT_EQ(0u, f.Write("x", 0, 1));
}

TEST(File, LoadResolvesNamesAndRefusesWhatIsNoFile)
{
    TestSupport::ScratchDir dir;
    ASSERT_TRUE(dir.WriteFile("cfg\\ソ.ini", "abc"));
    TestSupport::CurrentDirectoryGuard keep;
    ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
    CFile f;
    EXPECT_EQ(0, f.Load(""));
    EXPECT_FALSE(f.IsOpen());
    EXPECT_EQ(1, f.Load("cfg\\ソ.ini"));
    EXPECT_EQ(3u, f.GetSize());
    char buf[3];
    EXPECT_EQ(3u, f.Read(buf, 1, 3));
    EXPECT_EQ(std::string("abc"), std::string(buf, 3));
    EXPECT_EQ(0, f.Load("cfg"));  // a folder
    EXPECT_FALSE(f.IsOpen());
    EXPECT_EQ(0, f.Load("missing.ini"));
    EXPECT_EQ(0u, f.GetSize());
    EXPECT_EQ(0u, f.Read(buf, 1, 1));
    EXPECT_FALSE(f.Seek(0, 0));
    EXPECT_EQ(0u, f.Tell());
}

TEST(File, CreateAppendsOrTruncatesAndReportsFailures)
{
    TestSupport::ScratchDir dir;
    ASSERT_TRUE(dir.WriteFile("log.txt", "one\r\n"));
    CFile f;
    ASSERT_TRUE(f.Create(dir / "log.txt", false));
    EXPECT_EQ(5u, f.Tell());
    EXPECT_EQ(5u, f.Write("two\r\n", 1, 5));
    f.Close();
    std::string content;
    ASSERT_TRUE(TestSupport::ScratchDir::ReadFile(dir / "log.txt", content));
    EXPECT_EQ("one\r\ntwo\r\n", content);
    ASSERT_TRUE(f.Create(dir / "log.txt", true));
    EXPECT_EQ(0u, f.GetSize());
    f.Close();

    TestSupport::DebugCapture capture;
    std::string bad = dir / "no\\such\\folder\\x.txt";
    EXPECT_FALSE(f.Create(bad, true));
    EXPECT_FALSE(f.IsOpen());
    ASSERT_EQ(1u, capture.Reports().size());
    EXPECT_EQ("error：ファイルの作成に失敗しました。<" + bad + "> [CFileImpl::Create()]", capture.Reports()[0]);
}
