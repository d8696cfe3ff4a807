#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "classlib/rtl/Streams.h"
#include "MessageOf.h"
#include "TempDir.h"

namespace {

TMemoryStream* Filled(int n)
{
    auto* s = new TMemoryStream;
    for (int i = 0; i < n; ++i) {
        uint8_t b = uint8_t(i);
        s->WriteBuffer(&b, 1);
    }
    return s;
}

} // namespace

TEST(MemoryStreamTest, SeeksFromEachOrigin)
{
    std::unique_ptr<TMemoryStream> s(Filled(10));
    EXPECT_EQ(s->Position(), 10);
    EXPECT_EQ(s->Seek(3, soBeginning), 3);
    EXPECT_EQ(s->Seek(2, soCurrent), 5);
    EXPECT_EQ(s->Seek(-4, soEnd), 6);
    uint8_t b = 0;
    s->ReadBuffer(&b, 1);
    EXPECT_EQ(b, 6);
    EXPECT_EQ(s->Seek(-1, soCurrent), 6);
    // Before the start is refused and leaves the position alone.
    EXPECT_THROW(s->Seek(-7, soCurrent), EStreamError);
    EXPECT_EQ(s->Position(), 6);
}

TEST(MemoryStreamTest, WritingPastTheEndFillsTheGapWithZeros)
{
    std::unique_ptr<TMemoryStream> s(Filled(2));
    s->SetPosition(5);
    uint8_t b = 0xAA;
    s->WriteBuffer(&b, 1);
    ASSERT_EQ(s->Size(), 6);
    const uint8_t* m = static_cast<const uint8_t*>(s->Memory());
    EXPECT_EQ(m[2], 0);
    EXPECT_EQ(m[4], 0);
    EXPECT_EQ(m[5], 0xAA);
    // Reading at or past the end moves nothing.
    s->SetPosition(8);
    EXPECT_EQ(s->Read(&b, 1), 0);
    s->SetSize(3);
    EXPECT_EQ(s->Position(), 3);
    s->Clear();
    EXPECT_EQ(s->Size(), 0);
    EXPECT_EQ(s->Position(), 0);
}

TEST(MemoryStreamTest, ShortReadRaisesAndOddCountsMoveNothing)
{
    std::unique_ptr<TMemoryStream> s(Filled(4));
    s->SetPosition(2);
    uint8_t buf[8] = {};
    EXPECT_EQ(MessageOf<EReadError>([&] { s->ReadBuffer(buf, 3); }), L"Stream read error");
    EXPECT_EQ(s->Read(buf, -1), 0);
    EXPECT_EQ(s->Write(buf, -1), 0);
    EXPECT_EQ(s->Size(), 4);
    s->ReadBuffer(buf, 0); // nothing asked, nothing raised
}

TEST(StreamTest, CopyFrom)
{
    std::unique_ptr<TMemoryStream> src(Filled(100));
    TMemoryStream dst;

    // Count 0: the whole source from its start, wherever it stands.
    src->SetPosition(40);
    EXPECT_EQ(dst.CopyFrom(src.get(), 0), 100);
    ASSERT_EQ(dst.Size(), 100);
    EXPECT_EQ(std::memcmp(dst.Memory(), src->Memory(), 100), 0);

    // A count copies from the current position.
    dst.Clear();
    src->SetPosition(90);
    EXPECT_EQ(dst.CopyFrom(src.get(), 5), 5);
    EXPECT_EQ(static_cast<const uint8_t*>(dst.Memory())[0], 90);
    EXPECT_EQ(src->Position(), 95);

    // More than the source holds.
    EXPECT_THROW(dst.CopyFrom(src.get(), 6), EReadError);
}

TEST(StreamTest, CopyFromLargerThanOneChunk)
{
    TMemoryStream src;
    src.SetSize(200000);
    uint8_t* m = static_cast<uint8_t*>(src.Memory());
    for (int i = 0; i < 200000; ++i)
        m[i] = uint8_t(i * 7);
    TMemoryStream dst;
    dst.CopyFrom(&src, 0);
    ASSERT_EQ(dst.Size(), 200000);
    EXPECT_EQ(std::memcmp(dst.Memory(), src.Memory(), 200000), 0);
}

TEST(StringStreamTest, RoundTripsBytes)
{
    TStringStream s(AnsiString("ab\0c", 4));
    EXPECT_EQ(s.Position(), 0);
    char c[2];
    s.ReadBuffer(c, 2);
    EXPECT_EQ(c[1], 'b');
    s.SetPosition(4);
    s.WriteBuffer("xy", 2);
    EXPECT_EQ(s.DataString(), AnsiString("ab\0cxy", 6));
}

TEST(FileStreamTest, CreateWriteReopenAndTruncate)
{
    TTempDir dir;
    UnicodeString name = dir.File(L"종료.bin");
    {
        TFileStream f(name, fmCreate);
        f.WriteBuffer("hello world", 11);
        EXPECT_EQ(f.Size(), 11);
        EXPECT_EQ(f.Seek(-5, soEnd), 6);
        f.WriteBuffer("WORLD", 5);
    }
    {
        TFileStream f(name, fmOpenReadWrite);
        char buf[12] = {};
        f.ReadBuffer(buf, 11);
        EXPECT_STREQ(buf, "hello WORLD");
        EXPECT_THROW(f.ReadBuffer(buf, 1), EReadError);
        f.SetSize(5);
        EXPECT_EQ(f.Size(), 5);
        EXPECT_EQ(f.Position(), 5);
        EXPECT_THROW(f.Seek(-1, soBeginning), EStreamError);
    }
    TFileStream f(name, fmOpenRead | fmShareDenyNone);
    EXPECT_EQ(f.Size(), 5);
    // A read-only file stream cannot write.
    EXPECT_THROW(f.WriteBuffer("x", 1), EWriteError);
}

TEST(FileStreamTest, OpenAndCreateErrorsNameTheFile)
{
    TTempDir dir;
    UnicodeString missing = dir.File(L"missing.txt");
    UnicodeString msg = MessageOf<EFOpenError>([&] { TFileStream f(missing, fmOpenRead); });
    EXPECT_EQ(msg.rfind(L"Cannot open file \"" + missing + L"\". ", 0), 0u) << msg.size();
    EXPECT_GT(msg.size(), missing.size() + 20);

    UnicodeString bad = dir.File(L"no\\such\\folder\\x.txt");
    msg = MessageOf<EFCreateError>([&] { TFileStream f(bad, fmCreate); });
    EXPECT_EQ(msg.rfind(L"Cannot create file \"" + bad + L"\". ", 0), 0u);
}

TEST(FileStreamTest, ShareModesAreHonoured)
{
    TTempDir dir;
    UnicodeString name = dir.File(L"shared.txt");
    TFileStream(name, fmCreate).WriteBuffer("abc", 3);

    TFileStream reader(name, fmOpenRead | fmShareDenyWrite);
    // Other readers are let in, writers are not.
    EXPECT_NO_THROW(TFileStream(name, fmOpenRead | fmShareDenyNone));
    EXPECT_THROW(TFileStream(name, fmOpenWrite | fmShareDenyNone), EFOpenError);
}

TEST(MemoryStreamTest, FileRoundTrip)
{
    TTempDir dir;
    UnicodeString name = dir.File(L"mem.bin");
    std::unique_ptr<TMemoryStream> s(Filled(255));
    s->SaveToFile(name);
    TMemoryStream back;
    back.WriteBuffer("old contents go", 15);
    back.LoadFromFile(name);
    ASSERT_EQ(back.Size(), 255);
    EXPECT_EQ(back.Position(), 0);
    EXPECT_EQ(std::memcmp(back.Memory(), s->Memory(), 255), 0);
    EXPECT_THROW(back.LoadFromFile(dir.File(L"none")), EFOpenError);
}

TEST(ResourceStreamTest, ReadsAResourceAndRefusesWrites)
{
    const wchar_t* rtVersion = MAKEINTRESOURCEW(16);
    TResourceStream byName(nullptr, L"#1", rtVersion);
    TResourceStream byId(GetModuleHandleW(nullptr), 1, rtVersion);
    ASSERT_GT(byName.Size(), 6);
    EXPECT_EQ(byName.Size(), byId.Size());
    uint16_t length = 0;
    byName.ReadBuffer(&length, 2);
    EXPECT_EQ(length, byName.Size()); // the version block starts with its own length
    EXPECT_THROW(byName.WriteBuffer("x", 1), EStreamError);
    EXPECT_THROW(byName.SetSize(0), EStreamError);
    EXPECT_EQ(byName.Size(), byId.Size());

    EXPECT_EQ(MessageOf<EResNotFound>([] { TResourceStream s(nullptr, L"NO_SUCH_FORM", rtRCData); }),
              L"Resource NO_SUCH_FORM not found");
    EXPECT_EQ(MessageOf<EResNotFound>([] { TResourceStream s(nullptr, 4711); }), L"Resource #4711 not found");
}
