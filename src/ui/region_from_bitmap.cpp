// RegionFromBitmap: a 32-bit working copy of the bitmap, its pixel runs, and the region batches merged.
#include "ui/region_from_bitmap.h"

#include "platform/gdi_objects.h"
#include "ui/region_runs.h"

namespace {

// Makes a region of each batch and unites them; a batch the system refuses is skipped.
class RegionMerger final : public RegionBatchSink {
public:
    void TakeBatch(const RegionRecordHeader* record, size_t byteSize) override {
        OwnedRegion batch(ExtCreateRegion(nullptr, static_cast<DWORD>(byteSize), reinterpret_cast<const RGNDATA*>(record)));
        if (!batch) return;
        if (!result_) {
            result_.Reset(batch.Release());
            return;
        }
        CombineRgn(result_.get(), result_.get(), batch.get(), RGN_OR);
    }
    HRGN Release() { return result_.Release(); }
    void Discard() { result_.Close(); }

private:
    OwnedRegion result_;
};

}  // namespace

HRGN RegionFromBitmap(HBITMAP bitmap, uint32_t key, int32_t keepNonKey) {
    if (!bitmap) return nullptr;
    BITMAP source;
    if (!GetObjectA(bitmap, sizeof source, &source) || source.bmWidth <= 0 || source.bmHeight <= 0) return nullptr;
    OwnedMemoryDc copyDc(CreateCompatibleDC(nullptr));
    if (!copyDc) return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = source.bmWidth;
    info.bmiHeader.biHeight = source.bmHeight;  // positive: bottom-up rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    OwnedBitmap working(CreateDIBSection(copyDc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!working || !bits) return nullptr;
    SelectedObject copySelection(copyDc.get(), working.get());
    OwnedMemoryDc sourceDc(CreateCompatibleDC(copyDc.get()));
    if (!sourceDc) return nullptr;
    BITMAP workingInfo;
    GetObjectA(working.get(), sizeof workingInfo, &workingInfo);
    const size_t rowBytes = (static_cast<size_t>(workingInfo.bmWidthBytes) + 3) & ~static_cast<size_t>(3);
    SelectedObject sourceSelection(sourceDc.get(), bitmap);
    BitBlt(copyDc.get(), 0, 0, source.bmWidth, source.bmHeight, sourceDc.get(), 0, 0, SRCCOPY);
    GdiFlush();  // the copy must have reached the section's memory before it is read

    const RegionPixels pixels{bits, rowBytes * static_cast<size_t>(source.bmHeight), source.bmWidth, source.bmHeight,
                              rowBytes, true};
    RegionMerger merger;
    if (!CollectRegionRuns(pixels, key, keepNonKey != 0, merger)) merger.Discard();
    HRGN region = merger.Release();
    return region;
}
