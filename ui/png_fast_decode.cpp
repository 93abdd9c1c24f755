#include "ui/png_fast_decode.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace png {

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint8_t kColourRgb = 2;
constexpr uint8_t kColourRgba = 6;

uint32_t BigEndian32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

struct Chunk {
    uint32_t type = 0;
    std::span<const uint8_t> data;
};

constexpr uint32_t Tag(const char (&name)[5]) {
    return (uint32_t(uint8_t(name[0])) << 24) | (uint32_t(uint8_t(name[1])) << 16) |
           (uint32_t(uint8_t(name[2])) << 8) | uint32_t(uint8_t(name[3]));
}

// Walks the chunks after the signature; each is checked against its CRC
// before it is handed out.
class CChunkReader {
public:
    explicit CChunkReader(std::span<const uint8_t> bytes) : m_rest(bytes) {}

    // False at the end of the bytes or on a chunk that does not fit or fails
    // its check; Broken() tells which.
    bool Next(Chunk& chunk) {
        if (m_rest.empty()) return false;
        if (m_rest.size() < 12) return Fail();
        const uint32_t length = BigEndian32(m_rest.data());
        if (length > 0x7FFFFFFFu || length > m_rest.size() - 12) return Fail();
        const uint8_t* typeAndData = m_rest.data() + 4;
        const uLong crc = crc32(crc32(0L, Z_NULL, 0), typeAndData, 4 + length);
        if (crc != BigEndian32(typeAndData + 4 + length)) return Fail();
        chunk.type = BigEndian32(typeAndData);
        chunk.data = m_rest.subspan(8, length);
        m_rest = m_rest.subspan(12 + size_t{length});
        return true;
    }
    bool Broken() const { return m_broken; }

private:
    bool Fail() {
        m_broken = true;
        return false;
    }

    std::span<const uint8_t> m_rest;
    bool m_broken = false;
};

struct Header {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t channels = 0;
};

Result ReadHeader(const Chunk& chunk, Header& header) {
    if (chunk.type != Tag("IHDR") || chunk.data.size() != 13) return Result::Broken;
    const uint8_t* d = chunk.data.data();
    header.width = BigEndian32(d);
    header.height = BigEndian32(d + 4);
    const uint8_t depth = d[8], colour = d[9], compression = d[10], filter = d[11], interlace = d[12];
    if (header.width == 0 || header.height == 0 || compression != 0 || filter != 0) return Result::Broken;
    if (depth != 8 || (colour != kColourRgb && colour != kColourRgba) || interlace != 0) return Result::Unsupported;
    if (header.width > kMaxSide || header.height > kMaxSide ||
        uint64_t{header.width} * header.height > kMaxPixels)
        return Result::Unsupported;
    header.channels = colour == kColourRgba ? 4 : 3;
    return Result::Decoded;
}

uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
    return static_cast<uint8_t>(pb <= pc ? b : c);
}

// Undoes the row's filter in place, against the row above (zeros for the
// first); false for a filter type PNG does not define.
bool Unfilter(uint8_t type, uint8_t* row, const uint8_t* above, size_t length, size_t step) {
    switch (type) {
        case 0:
            return true;
        case 1:
            for (size_t i = step; i < length; ++i) row[i] = static_cast<uint8_t>(row[i] + row[i - step]);
            return true;
        case 2:
            for (size_t i = 0; i < length; ++i) row[i] = static_cast<uint8_t>(row[i] + above[i]);
            return true;
        case 3:
            for (size_t i = 0; i < length; ++i) {
                const int left = i >= step ? row[i - step] : 0;
                row[i] = static_cast<uint8_t>(row[i] + ((left + above[i]) >> 1));
            }
            return true;
        case 4:
            for (size_t i = 0; i < length; ++i) {
                const int left = i >= step ? row[i - step] : 0, upperLeft = i >= step ? above[i - step] : 0;
                row[i] = static_cast<uint8_t>(row[i] + Paeth(left, above[i], upperLeft));
            }
            return true;
        default:
            return false;
    }
}

uint8_t Premultiply(uint8_t colour, uint8_t alpha) { return static_cast<uint8_t>((colour * alpha + 127) / 255); }

void StoreRow(const uint8_t* row, uint32_t width, uint32_t channels, uint8_t* out) {
    for (uint32_t x = 0; x < width; ++x, row += channels, out += 4) {
        const uint8_t alpha = channels == 4 ? row[3] : 255;
        out[0] = Premultiply(row[2], alpha);
        out[1] = Premultiply(row[1], alpha);
        out[2] = Premultiply(row[0], alpha);
        out[3] = alpha;
    }
}

class CInflater {
public:
    CInflater() { m_ok = inflateInit(&m_stream) == Z_OK; }
    ~CInflater() {
        if (m_ok) inflateEnd(&m_stream);
    }
    CInflater(const CInflater&) = delete;
    CInflater& operator=(const CInflater&) = delete;
    z_stream& Stream() { return m_stream; }
    bool Ok() const { return m_ok; }

private:
    z_stream m_stream{};
    bool m_ok = false;
};

// The image data, inflated one scanline (filter byte and samples) at a time
// into a buffer of two rows, each undone and stored as it completes.
class CRowDecoder {
public:
    CRowDecoder(const Header& header, uint8_t* pixels)
        : m_header(header),
          m_rowBytes(size_t{header.width} * header.channels),
          m_line(1 + m_rowBytes),
          m_above(m_rowBytes, 0),
          m_pixels(pixels) {}

    // Feeds one IDAT chunk's data; false once the data cannot be right.
    bool Feed(std::span<const uint8_t> data) {
        if (!m_inflater.Ok()) return false;
        z_stream& z = m_inflater.Stream();
        z.next_in = const_cast<Bytef*>(data.data());
        z.avail_in = static_cast<uInt>(data.size());
        while (z.avail_in > 0 && !m_ended) {
            z.next_out = m_line.data() + m_filled;
            z.avail_out = static_cast<uInt>(m_line.size() - m_filled);
            const int status = inflate(&z, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) return false;
            m_filled = m_line.size() - z.avail_out;
            if (m_filled == m_line.size() && !TakeLine()) return false;
            if (status == Z_STREAM_END) m_ended = true;
            // No progress with input left: the stream wants more than a
            // whole image's rows, which no sound PNG does.
            if (status == Z_BUF_ERROR && z.avail_out > 0) return false;
        }
        return true;
    }
    bool Complete() const { return m_rows == m_header.height; }

private:
    bool TakeLine() {
        if (m_rows == m_header.height) return false;  // data past the last row
        uint8_t* samples = m_line.data() + 1;
        if (!Unfilter(m_line[0], samples, m_above.data(), m_rowBytes, m_header.channels)) return false;
        StoreRow(samples, m_header.width, m_header.channels, m_pixels + size_t{m_rows} * m_header.width * 4);
        std::memcpy(m_above.data(), samples, m_rowBytes);
        m_filled = 0;
        ++m_rows;
        return true;
    }

    const Header m_header;
    const size_t m_rowBytes;
    std::vector<uint8_t> m_line;
    std::vector<uint8_t> m_above;
    uint8_t* const m_pixels;
    size_t m_filled = 0;
    uint32_t m_rows = 0;
    bool m_ended = false;
    CInflater m_inflater;
};

bool IsCritical(uint32_t type) { return (type & 0x20000000u) == 0; }

}  // namespace

Result DecodePremultipliedBgra(std::span<const uint8_t> bytes, const PixelSink& pixels) {
    if (bytes.size() < sizeof kSignature || std::memcmp(bytes.data(), kSignature, sizeof kSignature) != 0)
        return Result::Broken;
    CChunkReader reader(bytes.subspan(sizeof kSignature));
    Chunk chunk;
    if (!reader.Next(chunk)) return Result::Broken;
    Header header;
    if (const Result read = ReadHeader(chunk, header); read != Result::Decoded) return read;

    std::unique_ptr<CRowDecoder> rows;
    bool dataEnded = false;
    while (reader.Next(chunk)) {
        if (chunk.type == Tag("IEND")) return rows != nullptr && rows->Complete() ? Result::Decoded : Result::Broken;
        if (chunk.type == Tag("IDAT")) {
            if (dataEnded) return Result::Broken;  // image data must be one run of chunks
            if (rows == nullptr) {
                uint8_t* out = pixels ? pixels(header.width, header.height) : nullptr;
                if (out == nullptr) return Result::Broken;
                rows = std::make_unique<CRowDecoder>(header, out);
            }
            if (!rows->Feed(chunk.data)) return Result::Broken;
            continue;
        }
        if (rows != nullptr) dataEnded = true;
        // A colour key makes some pixels transparent; the system's decoder
        // knows how, and so does it with any critical chunk but a palette,
        // which only suggests colours for an RGB picture.
        if (chunk.type == Tag("tRNS") && rows == nullptr) return Result::Unsupported;
        if (IsCritical(chunk.type) && chunk.type != Tag("PLTE"))
            return rows == nullptr ? Result::Unsupported : Result::Broken;
    }
    return Result::Broken;  // the bytes ended before IEND, or a chunk was unsound
}

}  // namespace png
