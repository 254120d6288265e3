// The utility layer: strings, file names, exceptions, notification streams.
#include "testSupport.h"
#include "diagnostics.h"

#include <qvutil/qvutil.h>

#include <gtest/gtest.h>

#include <cstring>
#include <iomanip>
#include <stdexcept>
#include <string>

using namespace Vorant;

TEST(DtStringTest, BuildsJoinsAndPrints)
{
    DtString empty;
    EXPECT_STREQ(static_cast<const char*>(empty), "");
    EXPECT_TRUE(empty.isEmpty());

    DtString s("abc");
    DtString copy(s);
    s += "def";
    s += copy;
    EXPECT_STREQ(s, "abcdefabc");
    EXPECT_STREQ(copy, "abc");

    EXPECT_STREQ(DtString(0u), "0");
    EXPECT_STREQ(DtString(4294967295u), "4294967295");

    const DtString joined = copy + "-" + DtString(42u);
    EXPECT_STREQ(joined, "abc-42");
    EXPECT_EQ(joined, "abc-42");
    EXPECT_NE(joined, copy);

    DtString assigned;
    assigned = joined;
    EXPECT_EQ(assigned, joined);
    DtString fromNull(static_cast<const char*>(nullptr));
    EXPECT_TRUE(fromNull.isEmpty());

    std::ostringstream os;
    os << joined << '|' << DtString("x");
    EXPECT_EQ(os.str(), "abc-42|x");
}

TEST(DtFilenameTest, StripPathKeepsTheBaseName)
{
    EXPECT_STREQ(DtFilename::stripPath("/work/src/libsrc/matrix/referenceEllipsoid.cpp"), "referenceEllipsoid.cpp");
    EXPECT_STREQ(DtFilename::stripPath("3dPoint.cpp"), "3dPoint.cpp");
    EXPECT_STREQ(DtFilename::stripPath("a/b/"), "");
    EXPECT_STREQ(DtFilename::stripPath(""), "");
    EXPECT_STREQ(DtFilename::stripPath(nullptr), "");
    DtFilename name("dir/file.txt");
    EXPECT_STREQ(name, "dir/file.txt");
}

TEST(DtExceptionTest, CarriesEveryFieldAndCopiesItsPredecessor)
{
    const DtException first("DtException: first", "void f()", "a.cpp", 10u, nullptr);
    EXPECT_EQ(first.predecessor(), nullptr);

    auto* second = new DtException("DtException: second", "void g(int)", "b.cpp", 20u, &first);
    const DtException copy(*second);
    delete second;   // the copy must not depend on the original

    EXPECT_STREQ(copy.what(), "DtException: second");
    EXPECT_STREQ(copy.message(), "DtException: second");
    EXPECT_STREQ(copy.signature(), "void g(int)");
    EXPECT_STREQ(copy.file(), "b.cpp");
    EXPECT_EQ(copy.line(), 20u);
    ASSERT_NE(copy.predecessor(), nullptr);
    EXPECT_STREQ(copy.predecessor()->what(), "DtException: first");
    EXPECT_EQ(copy.predecessor()->line(), 10u);

    const std::exception& base = copy;
    EXPECT_STREQ(base.what(), "DtException: second");
}

TEST(DtExceptionTest, LibraryThrowSitesPrefixStripAndLeaveNoPredecessor)
{
    try {
        detail::throwDtException("Invalid index (should be 0..2)", "double& Vorant::Dt3dPoint::operator[](int)",
                                 "/build/tree/libsrc/matrix/3dPoint.cpp", 123u);
        FAIL() << "no exception";
    } catch (const DtException& e) {
        EXPECT_STREQ(e.what(), "DtException: Invalid index (should be 0..2)");
        EXPECT_STREQ(e.signature(), "double& Vorant::Dt3dPoint::operator[](int)");
        EXPECT_STREQ(e.file(), "3dPoint.cpp");
        EXPECT_EQ(e.line(), 123u);
        EXPECT_EQ(e.predecessor(), nullptr);
    }
}

TEST(DtOutputStreamTest, BothUsesReachACapturedBuffer)
{
    qmtest::Capture capture(DtInfo);
    DtInfo("%s=%d %.3f\n", "n", 7, 1.5);
    DtInfo << "text " << DtString("dt") << ' ' << 2.5 << std::endl;
    std::ostream& plain = DtInfo;
    plain << std::setw(4) << 12;
    EXPECT_EQ(capture.text(), "n=7 1.500\ntext dt 2.5\n  12");
}

TEST(DtOutputStreamTest, PrintfStyleNeverTruncates)
{
    const std::string longText(5000, 'q');
    qmtest::Capture capture(DtWarn);
    DtWarn("<%s>%d", longText.c_str(), 99);
    EXPECT_EQ(capture.text(), "<" + longText + ">99");
}

TEST(DtOutputStreamTest, TheLevelGatesEachStream)
{
    qmtest::Capture info(DtInfo);
    qmtest::Capture warn(DtWarn);
    qmtest::Capture debug(DtDebug);
    {
        // Default level: warnings and information, no debugging text.
        DtInfo("i1 ");
        DtWarn << "w1 ";
        DtDebug("d1 ");
        DtDebug << "d2 " << 3 << std::endl;
    }
    {
        qmtest::NotifyLevel everything(10);
        DtDebug("d3 ");
        DtDebug << "d4 ";
    }
    {
        qmtest::NotifyLevel quiet(0);
        DtInfo("i2 ");
        DtWarn("w2 ");
        DtInfo << "i3 " << std::endl;
    }
    EXPECT_EQ(info.text(), "i1 ");
    EXPECT_EQ(warn.text(), "w1 ");
    EXPECT_EQ(debug.text(), "d3 d4 ");
    EXPECT_TRUE(DtInfo.enabled());
    EXPECT_FALSE(DtDebug.enabled());
}

TEST(DtOutputStreamTest, DefaultsGoToStandardErrorGatedByLevel)
{
    testing::internal::CaptureStderr();
    DtWarn("warn %d\n", 1);
    DtInfo << "info\n";
    std::ostream& plainDebug = DtDebug;
    plainDebug << "hidden debug\n";   // gated by the default buffer too
    DtDebug("hidden %s\n", "debug");
    DtInfo.flush();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "warn 1\ninfo\n");
}

TEST(DtFatalErrorTest, AlwaysEmitsAndReturns)
{
    qmtest::Capture capture(DtFatal);
    {
        qmtest::NotifyLevel silent(-1000);
        DtFatalError("PANIC -- impossible axis %d\r\n", 4);
    }
    DtFatalError("%s", "second");
    EXPECT_EQ(capture.text(), "PANIC -- impossible axis 4\r\nsecond");
}
