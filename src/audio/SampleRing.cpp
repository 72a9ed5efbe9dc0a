#include "SampleRing.h"

#include <algorithm>
#include <bit>
#include <cstring>

SampleRing::SampleRing(std::size_t capacityBytes)
    : m_bytes(std::bit_ceil(std::max<std::size_t>(capacityBytes, 64))),
      m_nMask(m_bytes.size() - 1) {}

std::size_t SampleRing::Write(std::span<const char> bytes) {
    const std::uint64_t write = m_nWrite.load(std::memory_order_relaxed);
    const std::uint64_t read = m_nRead.load(std::memory_order_acquire);
    const std::size_t room = m_bytes.size() - static_cast<std::size_t>(write - read);
    const std::size_t count = std::min(room, bytes.size());
    for (std::size_t i = 0; i < count; ++i) {
        m_bytes[(write + i) & m_nMask] = bytes[i];
    }
    m_nWrite.store(write + count, std::memory_order_release);
    if (count < bytes.size()) {
        m_nDropped.fetch_add(bytes.size() - count, std::memory_order_relaxed);
    }
    return count;
}

std::size_t SampleRing::Read(std::span<std::int16_t> out) {
    const std::uint64_t read = m_nRead.load(std::memory_order_relaxed);
    const std::uint64_t write = m_nWrite.load(std::memory_order_acquire);
    const std::size_t samples =
        std::min(static_cast<std::size_t>(write - read) / sizeof(std::int16_t), out.size());
    for (std::size_t s = 0; s < samples; ++s) {
        char pair[sizeof(std::int16_t)];
        for (std::size_t b = 0; b < sizeof pair; ++b) {
            pair[b] = m_bytes[(read + s * sizeof pair + b) & m_nMask];
        }
        std::memcpy(&out[s], pair, sizeof pair);
    }
    m_nRead.store(read + samples * sizeof(std::int16_t), std::memory_order_release);
    return samples;
}

void SampleRing::Discard() {
    const std::uint64_t write = m_nWrite.load(std::memory_order_acquire);
    const std::uint64_t read = m_nRead.load(std::memory_order_relaxed);
    // Whole samples only, so a sample split between two writes stays whole.
    const std::uint64_t whole = (write - read) / sizeof(std::int16_t) * sizeof(std::int16_t);
    m_nRead.store(read + whole, std::memory_order_release);
}
