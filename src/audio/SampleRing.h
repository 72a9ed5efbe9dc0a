#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// A lock-free ring of captured sound for exactly one writer thread and one reader thread:
// the capture device writes the bytes it fills on the sound library's thread, and the strobe
// reads whole samples on the GUI thread. Neither ever waits. The write position is published
// with release after the bytes are in, and read with acquire (the same for the read position
// the other way), so each side only touches bytes the other has finished with. What does not
// fit is dropped and counted, never written over unread sound.
class SampleRing {
public:
    // Room for capacityBytes, rounded up to a power of two.
    explicit SampleRing(std::size_t capacityBytes = 16384);

    SampleRing(const SampleRing&) = delete;
    SampleRing& operator=(const SampleRing&) = delete;

    // Writer: appends what fits of bytes (16-bit samples, native order; a sample may be split
    // between two writes). Returns the bytes written.
    std::size_t Write(std::span<const char> bytes);

    // Reader: takes up to out.size() whole samples, oldest first. Returns how many.
    std::size_t Read(std::span<std::int16_t> out);

    // Reader: forgets everything written so far.
    void Discard();

    // Bytes dropped because the reader was behind.
    std::uint64_t Dropped() const { return m_nDropped.load(std::memory_order_relaxed); }

private:
    std::vector<char> m_bytes;
    std::size_t m_nMask;
    std::atomic<std::uint64_t> m_nWrite{0};
    std::atomic<std::uint64_t> m_nRead{0};
    std::atomic<std::uint64_t> m_nDropped{0};
};
