// JPEG decoding over libjpeg.  libjpeg reports errors through a callback that
// must not return; ours jumps back into the small C-style routines below,
// which only then hand the failure to C++ as an exception.  No C++ object
// with a destructor lives between a setjmp and its longjmp.
#include "classlib/graphics/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

// The library was built with its own int-sized boolean, which the system
// headers also define (as a byte); keep the library's under another name.
#define boolean jpeg_boolean
#include <jpeglib.h>
#include <jerror.h>
#undef boolean

namespace {

struct ErrorManager {
    jpeg_error_mgr Pub;
    jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr Info)
{
    auto* err = reinterpret_cast<ErrorManager*>(Info->err);
    (*Info->err->format_message)(Info, err->Message);
    longjmp(err->Jump, 1);
}

// Corrupt data is an error here, not a warning: a damaged file must not
// turn into a picture of noise.  Stray bytes between markers are harmless.
void EmitMessage(j_common_ptr Info, int Level)
{
    if (Level < 0 && Info->err->msg_code != JWRN_EXTRANEOUS_DATA)
        ErrorExit(Info);
}

void OutputMessage(j_common_ptr) {}

// The source: the whole file in memory.  Running out of data is an error
// (libjpeg's own sources would pad the picture with grey instead).
void InitSource(j_decompress_ptr) {}

jpeg_boolean FillInputBuffer(j_decompress_ptr Info)
{
    ERREXIT(Info, JERR_INPUT_EOF);
    return FALSE;
}

void SkipInputData(j_decompress_ptr Info, long Count)
{
    if (Count <= 0)
        return;
    jpeg_source_mgr* src = Info->src;
    if (size_t(Count) > src->bytes_in_buffer)
        ERREXIT(Info, JERR_INPUT_EOF);
    src->next_input_byte += Count;
    src->bytes_in_buffer -= size_t(Count);
}

void TermSource(j_decompress_ptr) {}

struct Decoder {
    jpeg_decompress_struct Info;
    ErrorManager Err;
    jpeg_source_mgr Source;
    bool Created = false;
};

// Each step returns false with Err.Message set when libjpeg gave up.
bool ReadHeader(Decoder* d, const uint8_t* data, size_t size, bool gray)
{
    if (setjmp(d->Err.Jump))
        return false;
    jpeg_create_decompress(&d->Info);
    d->Created = true;
    d->Source.next_input_byte = data;
    d->Source.bytes_in_buffer = size;
    d->Source.init_source = InitSource;
    d->Source.fill_input_buffer = FillInputBuffer;
    d->Source.skip_input_data = SkipInputData;
    d->Source.resync_to_restart = jpeg_resync_to_restart;
    d->Source.term_source = TermSource;
    d->Info.src = &d->Source;
    jpeg_read_header(&d->Info, TRUE);
    const J_COLOR_SPACE in = d->Info.jpeg_color_space;
    if (gray || in == JCS_GRAYSCALE)
        d->Info.out_color_space = JCS_GRAYSCALE;
    else if (in == JCS_CMYK || in == JCS_YCCK)
        d->Info.out_color_space = JCS_CMYK;
    else
        d->Info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d->Info);
    return true;
}

// Decodes every scan line into a 3-byte-per-pixel BGR image: row y goes to
// rows + y * stride (stride is negative for a bottom-up bitmap).  work holds
// one decoded line of output_components bytes per pixel.
bool ReadPixels(Decoder* d, uint8_t* rows, ptrdiff_t stride, uint8_t* work)
{
    if (setjmp(d->Err.Jump))
        return false;
    const unsigned w = d->Info.output_width;
    const int comps = d->Info.output_components;
    while (d->Info.output_scanline < d->Info.output_height) {
        JSAMPROW line = work;
        const unsigned y = d->Info.output_scanline;
        if (jpeg_read_scanlines(&d->Info, &line, 1) != 1)
            ERREXIT(&d->Info, JERR_INPUT_EOF);
        uint8_t* out = rows + ptrdiff_t(y) * stride;
        for (unsigned x = 0; x < w; ++x) {
            const uint8_t* p = work + size_t(x) * comps;
            uint8_t r, g, b;
            if (comps == 1) {
                r = g = b = p[0];
            } else if (comps == 4) {
                // Adobe writes CMYK inverted; the product with K gives RGB.
                r = uint8_t(p[0] * p[3] / 255);
                g = uint8_t(p[1] * p[3] / 255);
                b = uint8_t(p[2] * p[3] / 255);
            } else {
                r = p[0];
                g = p[1];
                b = p[2];
            }
            out[3 * x] = b;
            out[3 * x + 1] = g;
            out[3 * x + 2] = r;
        }
    }
    jpeg_finish_decompress(&d->Info);
    return true;
}

struct DecoderGuard {
    Decoder* D;
    ~DecoderGuard()
    {
        if (D->Created)
            jpeg_destroy_decompress(&D->Info);
    }
};

[[noreturn]] void RaiseJpegError(const char* message)
{
    UnicodeString text = L"JPEG error: ";
    for (const char* p = message; *p; ++p)
        text += wchar_t(static_cast<unsigned char>(*p));
    throw EInvalidGraphic(text);
}

} // namespace

TJPEGImage::~TJPEGImage()
{
    delete FBitmap;
}

void TJPEGImage::Decode(const std::vector<uint8_t>& Data, bool Gray)
{
    if (Data.empty())
        throw EInvalidGraphic(L"JPEG error: empty file");
    auto d = std::make_unique<Decoder>();
    std::memset(&d->Info, 0, sizeof(d->Info));
    d->Info.err = jpeg_std_error(&d->Err.Pub);
    d->Err.Pub.error_exit = ErrorExit;
    d->Err.Pub.emit_message = EmitMessage;
    d->Err.Pub.output_message = OutputMessage;
    d->Err.Message[0] = 0;
    DecoderGuard guard{d.get()};

    if (!ReadHeader(d.get(), Data.data(), Data.size(), Gray))
        RaiseJpegError(d->Err.Message);
    const int w = int(d->Info.output_width), h = int(d->Info.output_height);
    if (w <= 0 || h <= 0 || int64_t(w) * h > 16384LL * 16384LL)
        RaiseJpegError("image too large");
    const bool sourceGray = d->Info.jpeg_color_space == JCS_GRAYSCALE;

    std::unique_ptr<TBitmap> bmp(New<TBitmap>());
    bmp->SetPixelFormat(pf24bit);
    bmp->SetSize(w, h);
    uint8_t* row0 = static_cast<uint8_t*>(bmp->ScanLine(0));
    const ptrdiff_t stride = h > 1 ? static_cast<uint8_t*>(bmp->ScanLine(1)) - row0 : 0;
    std::vector<uint8_t> work(size_t(w) * size_t(d->Info.output_components));
    if (!ReadPixels(d.get(), row0, stride, work.data()))
        RaiseJpegError(d->Err.Message);

    delete FBitmap;
    FBitmap = bmp.release();
    FSourceGrayscale = sourceGray;
}

void TJPEGImage::LoadFromStream(TStream* Stream)
{
    const int64_t left = Stream->Size() - Stream->Position();
    if (left <= 0 || left > 256 * 1024 * 1024)
        throw EInvalidGraphic(L"JPEG error: not a JPEG file");
    std::vector<uint8_t> data(static_cast<size_t>(left));
    Stream->ReadBuffer(data.data(), int32_t(left));
    Decode(data, FGrayscale);
    FData.swap(data);
    Changed(this);
}

void TJPEGImage::SaveToStream(TStream* Stream)
{
    if (!FData.empty())
        Stream->WriteBuffer(FData.data(), int32_t(FData.size()));
}

void TJPEGImage::SetGrayscale(bool Value)
{
    if (Value == FGrayscale)
        return;
    if (!FData.empty())
        Decode(FData, Value);
    FGrayscale = Value;
    Changed(this);
}

void TJPEGImage::SetWidth(int Value)
{
    if (Value != Width())
        throw EInvalidGraphicOperation(L"Cannot change the size of a JPEG image");
}

void TJPEGImage::SetHeight(int Value)
{
    if (Value != Height())
        throw EInvalidGraphicOperation(L"Cannot change the size of a JPEG image");
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& Rect)
{
    if (FBitmap)
        ACanvas->StretchDraw(Rect, FBitmap);
}

void TJPEGImage::Assign(TPersistent* Source)
{
    if (Source == this)
        return;
    if (!Source) {
        FData.clear();
        delete FBitmap;
        FBitmap = nullptr;
        FSourceGrayscale = false;
        Changed(this);
        return;
    }
    if (auto* src = dynamic_cast<TJPEGImage*>(Source)) {
        if (src->FData.empty()) {
            Assign(nullptr);
            return;
        }
        std::vector<uint8_t> data = src->FData;
        Decode(data, src->FGrayscale);
        FGrayscale = src->FGrayscale;
        FData.swap(data);
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TJPEGImage::AssignTo(TPersistent* Dest)
{
    if (auto* bmp = dynamic_cast<TBitmap*>(Dest)) {
        bmp->Assign(FBitmap); // nullptr empties it
        return;
    }
    TGraphic::AssignTo(Dest);
}
