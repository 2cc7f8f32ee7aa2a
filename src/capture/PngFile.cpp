// The PNG encoder over the Windows Imaging Component; see PngFile.h.
#include "capture/PngFile.h"

#include <windows.h>

#include <objidl.h>
#include <wincodec.h>

#include <algorithm>
#include <vector>

#include "core/Errors.h"
#include "core/SystemText_win.h"
#include "gui/Handles.h"
#include "gui/SystemLibrary.h"

namespace corvinade {

namespace {

// Rows handed to the encoder at a time: the 24-bit copy stays small.
constexpr int StripRows = 64;

void Check(HRESULT result) {
    if (FAILED(result))
        throw Error("Cannot encode the image as PNG. " + SystemErrorText(static_cast<DWORD>(result)));
}

gui::ComPtr<IStream> MemoryStream() {
    using Create = HRESULT(WINAPI*)(HGLOBAL, BOOL, LPSTREAM*);
    gui::ComPtr<IStream> stream;
    Check(gui::SystemFunction<Create>("ole32.dll", "CreateStreamOnHGlobal")(nullptr, TRUE, stream.Put()));
    return stream;
}

// The frame's pixels as 24-bit BGR, which every PNG encoder takes: our
// pixels' fourth byte is no alpha and must not become one.
void WriteFramePixels(IWICBitmapFrameEncode& frame, const PixelImage& image) {
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    Check(frame.SetPixelFormat(&format));
    if (format != GUID_WICPixelFormat24bppBGR)
        throw Error("Cannot encode the image as PNG: the system's encoder takes no 24-bit colour");
    const UINT stride = static_cast<UINT>(image.width) * 3;
    std::vector<BYTE> strip(static_cast<std::size_t>(stride) * StripRows);
    for (int top = 0; top < image.height; top += StripRows) {
        const int rows = std::min(StripRows, image.height - top);
        BYTE* out = strip.data();
        const std::uint32_t* in = image.pixels.data() + static_cast<std::size_t>(top) * image.width;
        for (std::size_t i = 0, n = static_cast<std::size_t>(rows) * image.width; i < n; ++i) {
            *out++ = static_cast<BYTE>(in[i]);
            *out++ = static_cast<BYTE>(in[i] >> 8);
            *out++ = static_cast<BYTE>(in[i] >> 16);
        }
        Check(frame.WritePixels(static_cast<UINT>(rows), stride, stride * static_cast<UINT>(rows),
                                strip.data()));
    }
}

// Each row against the pixel to its left: a third faster than the encoder's
// own choice per row at 4K, and as small for screen content. Only a hint:
// an encoder without the option keeps its own way.
void PreferSubFilter(IPropertyBag2& options) {
    wchar_t name[] = L"FilterOption";
    PROPBAG2 option = {};
    option.pstrName = name;
    VARIANT value = {};
    value.vt = VT_UI1;
    value.bVal = WICPngFilterSub;
    options.Write(1, &option, &value);
}

std::string StreamBytes(IStream& stream) {
    STATSTG status = {};
    Check(stream.Stat(&status, STATFLAG_NONAME));
    if (status.cbSize.QuadPart > 0x7FFFFFFF)
        Check(E_OUTOFMEMORY);
    std::string bytes(static_cast<std::size_t>(status.cbSize.QuadPart), '\0');
    Check(stream.Seek({}, STREAM_SEEK_SET, nullptr));
    ULONG read = 0;
    Check(stream.Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read));
    bytes.resize(read);
    return bytes;
}

} // namespace

std::string EncodePng(const PixelImage& image) {
    if (image.width <= 0 || image.height <= 0)
        throw Error("Cannot encode an empty image");
    gui::ComPtr<IWICImagingFactory> factory;
    Check(gui::CreateComObject(CLSID_WICImagingFactory, IID_IWICImagingFactory,
                               reinterpret_cast<void**>(factory.Put())));
    gui::ComPtr<IStream> stream = MemoryStream();
    gui::ComPtr<IWICBitmapEncoder> encoder;
    Check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Put()));
    Check(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache));
    gui::ComPtr<IWICBitmapFrameEncode> frame;
    gui::ComPtr<IPropertyBag2> options;
    Check(encoder->CreateNewFrame(frame.Put(), options.Put()));
    if (options)
        PreferSubFilter(*options.Get());
    Check(frame->Initialize(options.Get()));
    Check(frame->SetSize(static_cast<UINT>(image.width), static_cast<UINT>(image.height)));
    WriteFramePixels(*frame.Get(), image);
    Check(frame->Commit());
    Check(encoder->Commit());
    return StreamBytes(*stream.Get());
}

} // namespace corvinade
