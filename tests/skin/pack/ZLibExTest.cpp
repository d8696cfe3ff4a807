#include <gtest/gtest.h>

#include "PackTestUtil.h"
#include "skin/core/ZLibEx.h"

namespace {

// A zlib stream made by zlib itself, independent of the facade.
Bytes Deflated(const Bytes& data, int level = Z_DEFAULT_COMPRESSION)
{
    uLongf n = compressBound(uLong(data.size()));
    Bytes out(n);
    EXPECT_EQ(compress2(out.data(), &n, data.data(), uLong(data.size()), level), Z_OK);
    out.resize(n);
    return out;
}

Bytes ReadAll(TStream& s, int32_t piece = 4096)
{
    Bytes out;
    Bytes buf(static_cast<size_t>(piece));
    for (int32_t n; (n = s.Read(buf.data(), piece)) > 0;)
        out.insert(out.end(), buf.begin(), buf.begin() + n);
    return out;
}

template <class E, class F>
void ExpectRaises(F&& f, const wchar_t* message)
{
    try {
        f();
        ADD_FAILURE() << "no exception";
    } catch (const E& e) {
        EXPECT_EQ(e.Message(), message);
    }
}

struct ProgressCounter : TObject {
    int Count = 0;
    void Progress(TObject*) { ++Count; }
};

}  // namespace

// Zlib streams back to back in one source: each decompression stream yields
// exactly its own data and leaves the source right after its stream, also
// when the stream spans several reads of the 131,072-byte buffer.
TEST(ZDecompressionStream, ConsecutiveStreamsInOneSource)
{
    const std::vector<Bytes> parts = {TextBytes(10, 1), TextBytes(700, 2), RandomBytes(300000, 3), Bytes{}, TextBytes(5, 4)};
    TMemoryStream src;
    src.WriteBuffer("head", 4);
    std::vector<int64_t> ends;
    for (const Bytes& p : parts) {
        PutBytes(src, Deflated(p));
        ends.push_back(src.Position());
    }
    src.WriteBuffer("tail", 4);

    src.SetPosition(4);
    for (size_t i = 0; i < parts.size(); ++i) {
        SCOPED_TRACE(i);
        TZDecompressionStream z(&src);
        ProgressCounter progress;
        z.SetOnProgress(Bind(&progress, &ProgressCounter::Progress));
        Bytes got(parts[i].size());
        z.ReadBuffer(got.data(), int32_t(got.size()));
        EXPECT_EQ(got, parts[i]);
        // Asking for more reaches the end of the stream, never the next one.
        uint8_t extra;
        EXPECT_EQ(z.Read(&extra, 1), 0);
        EXPECT_TRUE(z.EndOfStream());
        EXPECT_EQ(src.Position(), ends[i]);
        EXPECT_EQ(progress.Count, parts[i].size() > 200000 ? 3 : 1);
    }
    char tail[4];
    src.ReadBuffer(tail, 4);
    EXPECT_EQ(std::string(tail, 4), "tail");
}

// The end of a stream is seen as soon as its checksum is buffered, even when
// the last byte asked for was the last byte of content.
TEST(ZDecompressionStream, ExactReadLeavesSourceAfterStream)
{
    const Bytes data = TextBytes(1000, 5);
    TMemoryStream src;
    PutBytes(src, Deflated(data));
    const int64_t end = src.Position();
    PutBytes(src, Deflated(data));
    src.SetPosition(0);
    {
        TZDecompressionStream z(&src);
        Bytes got(data.size());
        z.ReadBuffer(got.data(), int32_t(got.size()));
        EXPECT_TRUE(z.EndOfStream());
    }
    EXPECT_EQ(src.Position(), end);
}

// Reading moves the source back to where this stream continues, whoever moved it.
TEST(ZDecompressionStream, SourceMovedBetweenReads)
{
    const Bytes data = RandomBytes(200000, 6);
    TMemoryStream src;
    PutBytes(src, Deflated(data));
    src.SetPosition(0);
    TZDecompressionStream z(&src);
    Bytes got(data.size());
    z.ReadBuffer(got.data(), 1000);
    src.SetPosition(7);
    z.ReadBuffer(got.data() + 1000, int32_t(data.size() - 1000));
    EXPECT_EQ(got, data);
}

TEST(ZDecompressionStream, SeekRules)
{
    const Bytes data = TextBytes(50000, 7);
    TMemoryStream src;
    src.WriteBuffer("0123456789", 10);   // the stream does not start at 0
    PutBytes(src, Deflated(data));
    src.SetPosition(10);
    TZDecompressionStream z(&src);

    EXPECT_EQ(z.Seek(0, soCurrent), 0);
    EXPECT_EQ(src.Position(), 10) << "asking for the position reads nothing";
    uint8_t b[100];
    z.ReadBuffer(b, 100);
    EXPECT_EQ(z.Seek(0, soCurrent), 100);

    EXPECT_EQ(z.Seek(20000, soCurrent), 20100);   // forward from here
    z.ReadBuffer(b, 1);
    EXPECT_EQ(b[0], data[20100]);
    EXPECT_EQ(z.Seek(30000, soBeginning), 30000);  // forward from the start
    z.ReadBuffer(b, 1);
    EXPECT_EQ(b[0], data[30000]);
    EXPECT_EQ(z.Seek(0, soEnd), int64_t(data.size()));

    // Back to the start: decompression begins again where the stream began.
    EXPECT_EQ(z.Seek(0, soBeginning), 0);
    EXPECT_EQ(ReadAll(z), data);

    z.Seek(0, soBeginning);
    z.ReadBuffer(b, 100);
    for (auto [offset, origin] : {std::pair<int64_t, TSeekOrigin>{50, soBeginning}, {-1, soCurrent}, {-10, soEnd}, {5, soEnd}}) {
        SCOPED_TRACE(offset);
        ExpectRaises<EZDecompressionError>([&, offset = offset, origin = origin] { z.Seek(offset, origin); },
                                           L"Invalid ZStream operation!");
    }
    EXPECT_THROW(z.Seek(int64_t(data.size()) + 1, soBeginning), EReadError) << "past the end of the content";
}

TEST(ZStreams, WrongDirectionRaises)
{
    TMemoryStream dest;
    TZCompressionStream c(&dest);
    uint8_t b[4] = {1, 2, 3, 4};
    ExpectRaises<EZCompressionError>([&] { c.Read(b, 4); }, L"Invalid ZStream operation!");
    c.WriteBuffer(b, 4);
    EXPECT_EQ(c.Seek(0, soCurrent), 4);
    ExpectRaises<EZCompressionError>([&] { c.Seek(0, soBeginning); }, L"Invalid ZStream operation!");
    ExpectRaises<EZCompressionError>([&] { c.Seek(1, soCurrent); }, L"Invalid ZStream operation!");

    TMemoryStream src;
    PutBytes(src, Deflated(Bytes{1, 2}));
    src.SetPosition(0);
    TZDecompressionStream d(&src);
    try {
        d.Write(b, 4);
        ADD_FAILURE() << "no exception";
    } catch (const EZDecompressionError& e) {
        EXPECT_EQ(e.Message(), L"Invalid ZStream operation!");
        EXPECT_EQ(e.ClassName(), L"EZDecompressionError");
    }
}

// Written in uneven pieces at a non-zero position, more than one buffer of
// output: the destination holds one valid zlib stream after the old bytes.
TEST(ZCompressionStream, RoundTripThroughDestination)
{
    const Bytes data = RandomBytes(400000, 8);
    TMemoryStream dest;
    dest.WriteBuffer("keep", 4);
    ProgressCounter progress;
    {
        TZCompressionStream c(&dest, zcMax);
        c.SetOnProgress(Bind(&progress, &ProgressCounter::Progress));
        for (size_t at = 0; at < data.size();) {
            size_t n = std::min<size_t>(data.size() - at, 1 + at % 70001);
            c.WriteBuffer(data.data() + at, int32_t(n));
            at += n;
        }
        c.Finish();
        EXPECT_LT(c.GetCompressionRate(), 0.0f) << "random data grows";
    }
    EXPECT_GE(progress.Count, 3);
    const Bytes all = StreamBytes(dest);
    EXPECT_EQ(std::string(all.begin(), all.begin() + 4), "keep");
    uLongf n = uLongf(data.size());
    Bytes back(n);
    ASSERT_EQ(uncompress(back.data(), &n, all.data() + 4, uLong(all.size() - 4)), Z_OK);
    EXPECT_EQ(back, data);
}

// The rate is the share of the input saved: (1 - out / in) * 100 over the
// bytes taken and written so far.
TEST(ZCompressionStream, DestructorFinishesAndRateOfText)
{
    const Bytes data = TextBytes(100000, 9);
    TMemoryStream dest, finished;
    float rate = 0;
    {
        TZCompressionStream c(&dest);
        EXPECT_EQ(c.GetCompressionRate(), 0.0f);
        PutBytes(c, data);
        TZCompressionStream f(&finished);
        PutBytes(f, data);
        f.Finish();
        rate = f.GetCompressionRate();
        EXPECT_EQ(rate, float((1.0 - double(finished.Size()) / double(data.size())) * 100.0));
    }
    EXPECT_GT(rate, 50.0f) << "text compresses well";
    EXPECT_LT(rate, 100.0f);
    EXPECT_EQ(StreamBytes(dest), StreamBytes(finished)) << "the destructor finishes the same way";
    dest.SetPosition(0);
    TZDecompressionStream d(&dest);
    EXPECT_EQ(ReadAll(d), data);
}

TEST(ZBuffers, RoundTripsAndGrowth)
{
    struct Case {
        const char* name;
        Bytes data;
        int32_t estimate;
    };
    const Case cases[] = {
        {"empty", {}, 0},
        {"one byte", {42}, 0},
        {"text", TextBytes(1000, 10), 0},
        {"zeros grow from the step", Bytes(300000, 0), 0},
        {"random", RandomBytes(200000, 11), 0},
        {"estimate too small", TextBytes(70000, 12), 10},
        {"estimate too large", TextBytes(700, 13), 1 << 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint8_t* packed = nullptr;
        int32_t packedSize = 0;
        ZCompress(c.data.data(), int32_t(c.data.size()), packed, packedSize);
        ASSERT_NE(packed, nullptr);
        uint8_t* out = nullptr;
        int32_t outSize = -1;
        ZDecompress(packed, packedSize, out, outSize, c.estimate);
        EXPECT_EQ(Bytes(out, out + outSize), c.data);
        delete[] packed;
        delete[] out;
    }
    EXPECT_EQ(ZCompressInitialRoom(1000), 1280);
    EXPECT_EQ(ZCompressInitialRoom(0), 256);
}

TEST(ZBuffers, DamagedInputRaisesAndFreesOutput)
{
    const Bytes data = TextBytes(5000, 14);
    const Bytes packed = Deflated(data);
    struct Case {
        const char* name;
        Bytes input;
        int code;
        const wchar_t* text;
    };
    Bytes corrupt = packed;
    corrupt[packed.size() / 2] ^= 0x55;
    Bytes badCheck = packed;
    badCheck.back() ^= 1;
    const Case cases[] = {
        {"truncated", Bytes(packed.begin(), packed.end() - 10), Z_BUF_ERROR, L"buffer error"},
        {"empty", {}, Z_BUF_ERROR, L"buffer error"},
        {"bad header", Bytes{0x12, 0x34, 0x56}, Z_DATA_ERROR, L"data error"},
        {"corrupt data", corrupt, Z_DATA_ERROR, L"data error"},
        {"bad checksum", badCheck, Z_DATA_ERROR, L"data error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint8_t* out = reinterpret_cast<uint8_t*>(1);
        int32_t outSize = 0;
        try {
            ZDecompress(c.input.data(), int32_t(c.input.size()), out, outSize);
            ADD_FAILURE() << "no exception";
        } catch (const EZDecompressionError& e) {
            EXPECT_EQ(e.ErrorCode(), c.code);
            EXPECT_EQ(e.Message(), c.text);
        }
        EXPECT_EQ(out, nullptr);
    }
}

// A stream that asks for a preset dictionary is an error, not a stall.
TEST(ZStreams, DictionaryStreamRaises)
{
    const Bytes data = TextBytes(300, 15);
    TZStreamRec z{};
    ASSERT_EQ(deflateInit(&z, 6), Z_OK);
    const Bytef dict[] = "skin button glyph";
    deflateSetDictionary(&z, dict, sizeof dict);
    Bytes packed(1000);
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = uInt(data.size());
    z.next_out = packed.data();
    z.avail_out = uInt(packed.size());
    ASSERT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    packed.resize(z.total_out);
    deflateEnd(&z);

    TMemoryStream src;
    PutBytes(src, packed);
    src.SetPosition(0);
    TZDecompressionStream d(&src);
    uint8_t b[10];
    ExpectRaises<EZDecompressionError>([&] { d.Read(b, 10); }, L"need dictionary");

    uint8_t* out = nullptr;
    int32_t outSize = 0;
    EXPECT_THROW(ZDecompress(packed.data(), int32_t(packed.size()), out, outSize), EZDecompressionError);
    src.SetPosition(0);
    TMemoryStream sink;
    EXPECT_THROW(ZDecompressStream(&src, &sink), EZDecompressionError);
}

// A cut stream gives fewer bytes than asked (and a buffer read raises);
// it never waits for more.
TEST(ZDecompressionStream, TruncatedSource)
{
    const Bytes data = RandomBytes(150000, 16);
    const Bytes packed = Deflated(data);
    for (size_t cut : {size_t(0), size_t(1), size_t(2), packed.size() / 2, packed.size() - 4, packed.size() - 1}) {
        SCOPED_TRACE(cut);
        TMemoryStream src;
        src.WriteBuffer(packed.data(), int32_t(cut));
        src.SetPosition(0);
        TZDecompressionStream d(&src);
        Bytes got = ReadAll(d);
        EXPECT_LE(got.size(), data.size());
        EXPECT_TRUE(std::equal(got.begin(), got.end(), data.begin()));
        EXPECT_FALSE(d.EndOfStream());
        // Only the checksum missing: the content is all there.
        EXPECT_EQ(got.size() == data.size(), cut >= packed.size() - 4);
        d.Seek(0, soBeginning);
        Bytes all(data.size() + 1);
        EXPECT_THROW(d.ReadBuffer(all.data(), int32_t(all.size())), EReadError);
    }
}

TEST(ZStreamRoutines, RoundTripLeavesInputAfterStream)
{
    for (const Bytes& data : {Bytes{}, TextBytes(100, 17), RandomBytes(100000, 18), Bytes(200000, 7)}) {
        SCOPED_TRACE(data.size());
        TMemoryStream in, packed, out;
        PutBytes(in, data);
        in.SetPosition(0);
        ZCompressStream(&in, &packed, zcDefault);
        const int64_t end = packed.Position();
        packed.WriteBuffer("next", 4);
        packed.SetPosition(0);
        ZDecompressStream(&packed, &out);
        EXPECT_EQ(StreamBytes(out), data);
        EXPECT_EQ(packed.Position(), end);
    }
}

TEST(ZStreamRoutines, WebFormIsRawDeflate)
{
    const Bytes data = TextBytes(20000, 19);
    TMemoryStream in, packed, out;
    PutBytes(in, data);
    in.SetPosition(0);
    ZCompressStreamWeb(&in, &packed);
    packed.SetPosition(0);
    EXPECT_THROW(ZDecompressStream(&packed, &out), EZDecompressionError) << "no zlib header";
    packed.SetPosition(0);
    out.Clear();
    ZDecompressStream2(&packed, &out, -15);
    EXPECT_EQ(StreamBytes(out), data);
}

TEST(ZStreamRoutines, TruncatedInputRaisesBufferError)
{
    const Bytes packed = Deflated(RandomBytes(80000, 20));
    for (size_t cut : {size_t(0), size_t(5), packed.size() / 3, packed.size() - 1}) {
        SCOPED_TRACE(cut);
        TMemoryStream in, out;
        in.WriteBuffer(packed.data(), int32_t(cut));
        in.SetPosition(0);
        ExpectRaises<EZDecompressionError>([&] { ZDecompressStream(&in, &out); }, L"buffer error");
    }
}

TEST(ZLibEx, TextFormsAndChecksums)
{
    const UnicodeString text = L"스킨 설명 Options.dat [GLOBALINFO]";
    EXPECT_EQ(ZDecompressStr(ZCompressStr(text)), text);
    const AnsiString ex = ZCompressStrEx(text, zcMax);
    EXPECT_EQ(uint8_t(ex[0]), text.size() * sizeof(wchar_t));
    EXPECT_EQ(ZDecompressStrEx(ex), text);
    EXPECT_THROW(ZDecompressStrEx(ex.substr(0, 3)), EZDecompressionError);
    EXPECT_EQ(ZDecompressStr2(ZCompressStrWeb(text), -15), text);

    const char abc[] = "abc";
    EXPECT_EQ(ZAdler32(1, abc, 3), 0x024d0127u);
    EXPECT_EQ(ZCrc32(0, abc, 3), 0x352441c2u);
    EXPECT_EQ(ZCrc32(ZCrc32(0, abc, 1), abc + 1, 2), 0x352441c2u);

    TZStreamRec z{};
    EXPECT_EQ(InflateInit(z), Z_OK);
    inflateEnd(&z);
}
