// The utility layer: strings, file names, exceptions, notification streams.
#include "diagnostics.h"
#include "testSupport.h"

#include <iomanip>

using namespace Vorant;

TEST(UtilityTest, StringsAndFileNames)
{
    DtString s("abc");
    const DtString copy(s);
    s += "def";
    s += copy;
    EXPECT_STREQ(s, "abcdefabc");
    EXPECT_TRUE(DtString().isEmpty() && DtString(static_cast<const char*>(nullptr)).isEmpty());
    EXPECT_TRUE(DtString(0u) == "0" && DtString(4294967295u) == "4294967295");
    const DtString joined = copy + "-" + DtString(42u);
    EXPECT_TRUE(joined == "abc-42" && joined != copy);
    std::ostringstream os;
    os << joined << '|' << DtString("x");
    EXPECT_EQ(os.str(), "abc-42|x");

    EXPECT_TRUE(DtFilename::stripPath("/work/libsrc/matrix/referenceEllipsoid.cpp") == "referenceEllipsoid.cpp" &&
                DtFilename::stripPath("3dPoint.cpp") == "3dPoint.cpp" && DtFilename::stripPath("a/b/") == "" &&
                DtFilename::stripPath(nullptr) == "");
}

TEST(UtilityTest, ExceptionsCarryEveryFieldAndTheirPredecessor)
{
    const DtException first("DtException: first", "void f()", "a.cpp", 10u, nullptr);
    auto* second = new DtException("DtException: second", "void g(int)", "b.cpp", 20u, &first);
    DtException copy(*second);
    delete second;   // the copy must not depend on the original
    const DtException& same = copy;
    copy = same;   // assignment to itself
    DtException assigned(first);
    assigned = copy;   // from another: every field, and a predecessor of its own
    EXPECT_TRUE(assigned.message() == "DtException: second" && assigned.line() == 20u && assigned.predecessor() &&
                assigned.predecessor()->line() == 10u);
    const std::exception& base = copy;
    EXPECT_STREQ(base.what(), "DtException: second");
    EXPECT_TRUE(copy.message() == "DtException: second" && copy.signature() == "void g(int)" && copy.file() == "b.cpp" &&
                copy.line() == 20u && first.predecessor() == nullptr);
    ASSERT_NE(copy.predecessor(), nullptr);
    EXPECT_TRUE(copy.predecessor()->message() == "DtException: first" && copy.predecessor()->line() == 10u);

    // The library's own throw sites: prefix, stripped file, no predecessor.
    try {
        detail::throwDtException("Invalid index (should be 0..2)", "double& Vorant::Dt3dPoint::operator[](int)",
                                 "/build/tree/libsrc/matrix/3dPoint.cpp", 123u);
        FAIL() << "no exception";
    } catch (const DtException& e) {
        EXPECT_STREQ(e.what(), "DtException: Invalid index (should be 0..2)");
        EXPECT_TRUE(e.signature() == "double& Vorant::Dt3dPoint::operator[](int)" && e.file() == "3dPoint.cpp" &&
                    e.line() == 123u && e.predecessor() == nullptr);
    }
}

TEST(UtilityTest, StreamsCaptureGateAndNeverTruncate)
{
    {
        qmtest::Capture capture(DtInfo);
        DtInfo("%s", "");
        DtInfo("%c", '>');   // one character: the shortest text is not lost
        DtInfo("%s=%d %.3f\n", "n", 7, 1.5);
        DtInfo << "text " << DtString("dt") << ' ' << 2.5 << std::endl;
        std::ostream& plain = DtInfo;
        plain << std::setw(4) << 12;
        EXPECT_EQ(capture.text(), ">n=7 1.500\ntext dt 2.5\n  12");
    }
    {
        const std::string longText(5000, 'q');
        qmtest::Capture capture(DtWarn);
        DtWarn("<%s>%d", longText.c_str(), 99);
        EXPECT_EQ(capture.text(), "<" + longText + ">99");
    }
    qmtest::Capture info(DtInfo), warn(DtWarn), debug(DtDebug), fatal(DtFatal);
    DtInfo("i1 ");   // the default level: warnings and information, no debugging
    DtWarn << "w1 ";
    DtDebug("d1 ");
    DtDebug << "d2 " << 3 << std::endl;
    {
        qmtest::NotifyLevel everything(10);
        DtDebug("d3 ");
        DtDebug << "d4 ";
    }
    {
        qmtest::NotifyLevel quiet(-1000);
        DtInfo("i2 ");
        DtWarn("w2 ");
        DtFatalError("PANIC -- %d\r\n", 4);   // always emits, and returns
    }
    EXPECT_TRUE(info.text() == "i1 " && warn.text() == "w1 " && debug.text() == "d3 d4 " &&
                fatal.text() == "PANIC -- 4\r\n");
}

TEST(UtilityTest, DefaultsGoToStandardErrorGatedByLevel)
{
    testing::internal::CaptureStderr();
    DtWarn("warn %d\n", 1);
    DtInfo << "info\n";
    std::ostream& plainDebug = DtDebug;
    plainDebug << "hidden debug\n";
    DtDebug("hidden %s\n", "debug");
    DtInfo << "1" << '2' << std::flush;   // one character as text and as a character; a flush keeps it good
    EXPECT_TRUE(DtInfo.good());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "warn 1\ninfo\n12");
}

// The level holds whatever buffer a stream has, however the buffer was swapped
// (through the stream or through std::ios) and however the text arrives.
TEST(UtilityTest, LevelGatesSwappedBuffers)
{
    const auto writeAllWays = [](DtOutputStream& s) {
        s("a%d", 1);
        s << "b" << 2;
        std::ostream& plain = s;
        plain << "c" << 3.5 << std::flush;
        plain.put('d').write("ef", 2);
    };
    for (DtOutputStream* s : {&DtInfo, &DtWarn, &DtDebug}) {
        for (const int level : {s->threshold() - 1, s->threshold()}) {
            const qmtest::NotifyLevel set(level);
            std::ostringstream own;
            std::streambuf* const saved = s->rdbuf(own.rdbuf());
            {
                qmtest::Capture outside(*s);   // swapped through std::ostream&, nested in the first
                writeAllWays(*s);
                EXPECT_EQ(outside.text(), level >= s->threshold() ? "a1b2c3.5def" : "") << s->threshold();
                EXPECT_EQ(s->rdbuf(), static_cast<std::ostream&>(*s).rdbuf());
            }
            writeAllWays(*s);
            EXPECT_EQ(own.str(), level >= s->threshold() ? "a1b2c3.5def" : "") << s->threshold();
            EXPECT_TRUE(s->rdbuf(saved) == own.rdbuf() && s->good());
        }
    }
    const qmtest::NotifyLevel silent(INT_MIN);
    std::ostringstream fatal;
    std::streambuf* const saved = DtFatal.rdbuf(fatal.rdbuf());
    DtFatalError("%s", "x");
    writeAllWays(DtFatal);
    DtFatal.rdbuf(saved);
    EXPECT_EQ(fatal.str(), "xa1b2c3.5def");
}
