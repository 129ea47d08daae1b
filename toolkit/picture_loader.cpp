#include "toolkit/picture_loader.h"

#include "toolkit/resample.h"
#include "toolkit/scale.h"
#include "win32/com_ptr.h"
#include "win32/proc_address.h"

#include <objbase.h>
#include <wincodec.h>

#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace toolkit {

namespace {

std::atomic<long> decodeCount{0};

using win32::ComPtr;
using win32::ProcAddress;

// 32 bits a pixel, blue, green, red, unused: a DIB section's own layout.
constexpr GUID kPixelFormat32bppBGR = {
    0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0e}};
constexpr GUID kContainerFormatPng = {
    0x1b7cfaf4, 0x713f, 0x473c, {0xbb, 0xcd, 0x61, 0x37, 0x42, 0x5f, 0xae, 0xaf}};

using CreateFactoryFunction = HRESULT(WINAPI*)(UINT, IWICImagingFactory**);
using CoInitializeExFunction = HRESULT(WINAPI*)(LPVOID, DWORD);
using CoUninitializeFunction = void(WINAPI*)();

// The imaging component, loaded at the first decode: start-up, which decodes nothing,
// neither loads its libraries nor starts COM. Kept for the rest of the process.
class Imaging {
public:
    Imaging() : ole_(LoadLibraryA("ole32.dll")), codecs_(LoadLibraryA("windowscodecs.dll")) {
        const auto coInitialize = ProcAddress<CoInitializeExFunction>(ole_, "CoInitializeEx");
        uninitialize_ = ProcAddress<CoUninitializeFunction>(ole_, "CoUninitialize");
        // S_FALSE (already initialized on this thread) is paired with an uninitialize too;
        // another apartment model already chosen still lets the factory work.
        if (coInitialize) initialized_ = SUCCEEDED(coInitialize(nullptr, COINIT_APARTMENTTHREADED));
        const auto create =
            ProcAddress<CreateFactoryFunction>(codecs_, "WICCreateImagingFactory_Proxy");
        if (create) (void)create(WINCODEC_SDK_VERSION, factory_.put());
    }
    Imaging(const Imaging&) = delete;
    Imaging& operator=(const Imaging&) = delete;
    ~Imaging() {
        factory_.reset();
        if (initialized_ && uninitialize_) uninitialize_();
        // The libraries stay loaded until the process ends: COM may still hold them.
    }
    [[nodiscard]] IWICImagingFactory* Factory() const noexcept { return factory_.get(); }

private:
    HMODULE ole_;
    HMODULE codecs_;
    CoUninitializeFunction uninitialize_ = nullptr;
    bool initialized_ = false;
    ComPtr<IWICImagingFactory> factory_;
};

IWICImagingFactory& Factory() {
    static Imaging imaging;
    if (!imaging.Factory()) throw std::runtime_error("The imaging component is not available.");
    return *imaging.Factory();
}

void Check(HRESULT result, const char* what) {
    if (FAILED(result)) throw std::runtime_error(std::string("Cannot decode a picture: ") + what);
}

}  // namespace

long PictureDecodeCount() noexcept {
    return decodeCount.load();
}

std::string ScaledPictureName(const std::string& name, int percent) {
    return percent == 100 ? name : name + "_" + std::to_string(percent);
}

Pixels DecodePng(const void* data, size_t size) {
    IWICImagingFactory& factory = Factory();
    ComPtr<IWICStream> stream;
    Check(factory.CreateStream(stream.put()), "stream");
    Check(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)),
                                       static_cast<DWORD>(size)),
          "stream");
    ComPtr<IWICBitmapDecoder> decoder;
    Check(factory.CreateDecoder(kContainerFormatPng, nullptr, decoder.put()), "PNG decoder");
    Check(decoder->Initialize(stream.get(), WICDecodeMetadataCacheOnDemand), "PNG header");
    ComPtr<IWICBitmapFrameDecode> frame;
    Check(decoder->GetFrame(0, frame.put()), "frame");
    ComPtr<IWICFormatConverter> converter;
    Check(factory.CreateFormatConverter(converter.put()), "converter");
    Check(converter->Initialize(frame.get(), kPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr,
                                0.0, WICBitmapPaletteTypeCustom),
          "conversion");
    UINT width = 0, height = 0;
    Check(converter->GetSize(&width, &height), "size");
    Pixels out{static_cast<int>(width), static_cast<int>(height),
               std::vector<std::uint32_t>(static_cast<size_t>(width) * height)};
    Check(converter->CopyPixels(nullptr, width * 4, width * height * 4,
                                reinterpret_cast<BYTE*>(out.rgb.data())),
          "pixels");
    for (auto& p : out.rgb) p &= 0xFFFFFF;  // blue, green, red, unused: 0x00RRGGBB
    ++decodeCount;
    return out;
}

Pixels LoadStoredPicture(HINSTANCE module, const std::string& name, int dpi, int& scale) {
    std::vector<int> stored;
    for (const int s : kStoredPictureScales)
        if (FindResourceA(module, ScaledPictureName(name, s).c_str(), kPictureResourceType))
            stored.push_back(s);
    scale = ChooseStoredScale(stored, dpi);
    if (scale == 0) throw std::runtime_error("The picture " + name + " is missing.");
    const std::string chosen = ScaledPictureName(name, scale);
    HRSRC found = FindResourceA(module, chosen.c_str(), kPictureResourceType);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) throw std::runtime_error("The picture " + chosen + " is missing.");
    return DecodePng(data, SizeofResource(module, found));
}

Pixels LoadPictureAtDpi(HINSTANCE module, const std::string& name, int dpi, int tileWidth96,
                        int tileHeight96) {
    int scale = 0;
    Pixels source = LoadStoredPicture(module, name, dpi, scale);
    // Stored at scale percent: its 96-DPI size is the stored size scaled back.
    const int width96 = source.width * 100 / scale;
    const int height96 = source.height * 100 / scale;
    if (tileWidth96 > 0 && tileHeight96 > 0) {
        const int fromW = tileWidth96 * scale / 100;
        const int fromH = tileHeight96 * scale / 100;
        return ResampleTiles(source, fromW, fromH, ScaledLength(tileWidth96, dpi),
                             ScaledLength(tileHeight96, dpi));
    }
    return ResampleArea(source, ScaledLength(width96, dpi), ScaledLength(height96, dpi));
}

Pixels LoadPictureAt(HINSTANCE module, const std::string& name, int dpi, int left96, int top96) {
    int scale = 0;
    const Pixels source = LoadStoredPicture(module, name, dpi, scale);
    const int width96 = source.width * 100 / scale;
    const int height96 = source.height * 100 / scale;
    return ResampleArea(source, ScaleSpan(left96, width96, dpi), ScaleSpan(top96, height96, dpi));
}

}  // namespace toolkit
