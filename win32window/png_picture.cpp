#include "win32window/png_picture.h"

// The imaging component's class and format identifiers, defined here.
#include <initguid.h>
#include <wincodec.h>

#include "platform/win32_io.h"

namespace sweepwav {

namespace {

// Holds a COM interface and releases it.
template <typename T>
class Com {
public:
    Com() = default;
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    ~Com() {
        if (p_) p_->Release();
    }
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    T** put() { return &p_; }
    void** put_void() { return reinterpret_cast<void**>(&p_); }

private:
    T* p_ = nullptr;
};

// COM for the calling thread for as long as it lives, where no one has set
// it up in another way.
struct ComUse {
    ComUse() : started(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ComUse(const ComUse&) = delete;
    ComUse& operator=(const ComUse&) = delete;
    ~ComUse() {
        if (started) CoUninitialize();
    }
    bool started;
};

Status Failed(HRESULT result) {
    return Status::Failure(FailureKind::Other, "the picture could not be made (" + SystemReason(static_cast<DWORD>(result)) + ")");
}

// The picture's rows as 24-bit blue, green, red, each row padded to 4 bytes.
std::vector<BYTE> Rows24(const std::uint8_t* pixels, int width, int height, UINT stride) {
    std::vector<BYTE> rows(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* from = pixels + (static_cast<std::size_t>(y) * width + x) * 4;
            std::copy(from, from + 3, rows.begin() + static_cast<std::ptrdiff_t>(y * stride + x * 3));
        }
    }
    return rows;
}

// The bytes written into a memory stream.
Result<std::vector<std::uint8_t>> StreamBytes(IStream* stream) {
    STATSTG stat{};
    HGLOBAL memory = nullptr;
    if (HRESULT r = stream->Stat(&stat, STATFLAG_NONAME); FAILED(r)) return Failed(r);
    if (HRESULT r = GetHGlobalFromStream(stream, &memory); FAILED(r)) return Failed(r);
    const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(memory));
    if (!bytes) return Failed(HRESULT_FROM_WIN32(GetLastError()));
    std::vector<std::uint8_t> png(bytes, bytes + stat.cbSize.QuadPart);
    GlobalUnlock(memory);
    return png;
}

Result<std::vector<std::uint8_t>> Encode(const std::uint8_t* pixels, int width, int height) {
    const ComUse com;
    Com<IWICImagingFactory> factory;
    Com<IStream> stream;
    Com<IWICBitmapEncoder> encoder;
    Com<IWICBitmapFrameEncode> frame;
    HRESULT r = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                 factory.put_void());
    if (SUCCEEDED(r)) r = CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
    if (SUCCEEDED(r)) r = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put());
    if (SUCCEEDED(r)) r = encoder->Initialize(stream.get(), WICBitmapEncoderNoCache);
    if (SUCCEEDED(r)) r = encoder->CreateNewFrame(frame.put(), nullptr);
    if (SUCCEEDED(r)) r = frame->Initialize(nullptr);
    if (SUCCEEDED(r)) r = frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height));
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (SUCCEEDED(r)) r = frame->SetPixelFormat(&format);
    // The encoder takes these pixels as they are, or none.
    if (SUCCEEDED(r) && !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) r = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    const UINT stride = (static_cast<UINT>(width) * 3 + 3) & ~3u;
    std::vector<BYTE> rows = Rows24(pixels, width, height, stride);
    if (SUCCEEDED(r)) r = frame->WritePixels(static_cast<UINT>(height), stride, static_cast<UINT>(rows.size()), rows.data());
    if (SUCCEEDED(r)) r = frame->Commit();
    if (SUCCEEDED(r)) r = encoder->Commit();
    if (FAILED(r)) return Failed(r);
    return StreamBytes(stream.get());
}

}  // namespace

Result<std::vector<std::uint8_t>> PaintedPng(int width, int height, const std::function<void(HDC, const RECT&)>& paint) {
    if (width <= 0 || height <= 0) return Failed(E_INVALIDARG);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP picture = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dc || !picture) {
        const DWORD error = GetLastError();
        if (dc) DeleteDC(dc);
        return Failed(HRESULT_FROM_WIN32(error));
    }
    const HGDIOBJ old = SelectObject(dc, picture);
    const RECT area{0, 0, width, height};
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    paint(dc, area);
    GdiFlush();
    Result<std::vector<std::uint8_t>> png = Encode(static_cast<const std::uint8_t*>(bits), width, height);
    SelectObject(dc, old);
    DeleteObject(picture);
    DeleteDC(dc);
    return png;
}

}  // namespace sweepwav
