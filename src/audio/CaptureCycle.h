#pragma once

#include "WaveDevice.h"

#include <QEvent>

#include <array>
#include <functional>
#include <memory>
#include <span>

class QObject;

// The capture device with its two buffers: each full buffer goes to the block sink, then
// straight back to the device. The device fills its buffers in queue order and posts in that
// order, so blocks reach the sink in the order they were filled.
//
// One box per outage: a failure to open, or a device that stops, is shown only when none was
// shown since sound was last heard. Everything runs on the GUI thread.
class CaptureCycle {
public:
    using Block = std::span<const std::int16_t, kBlockSamples>;

    explicit CaptureCycle(std::unique_ptr<IWaveIn> device);
    ~CaptureCycle();

    CaptureCycle(const CaptureCycle&) = delete;
    CaptureCycle& operator=(const CaptureCycle&) = delete;

    void SetNotify(QObject* notify) { m_pNotify = notify; }
    // Each captured block, in fill order; the span is valid during the call.
    void SetBlockSink(std::function<void(Block)> sink) { m_blockSink = std::move(sink); }
    // Told when capture closes because its device stopped, or the device has stalled.
    void SetLossListener(std::function<void()> listener) { m_lossListener = std::move(listener); }

    // Opens, queues both buffers and starts; true when capture is open. A failure is shown
    // (unless showFailure is false, or this outage was shown already) and leaves capture
    // closed for a retry; so does any step that the device refuses.
    bool Open(bool showFailure);
    // Stops and closes; WAVE_NOERROR when it was not open.
    WaveResult Close();
    bool IsOpen() const { return m_bOpen; }

    // MM_WIM_DATA, MM_WIM_STALLED and MM_WIM_ERROR (true); anything else is not capture's
    // (false).
    bool OnEvent(QEvent* e);

    IWaveIn& Device() { return *m_device; }

private:
    void Show(WaveResult code);

    std::unique_ptr<IWaveIn> m_device;
    QObject* m_pNotify = nullptr;
    std::function<void(Block)> m_blockSink;
    std::function<void()> m_lossListener;
    std::array<std::array<std::int16_t, kBlockSamples>, 2> m_buffers{};
    std::array<WaveHeader, 2> m_headers{};
    bool m_bOpen = false;
    bool m_bShown = false; // a box was shown and no sound heard since
};
