#include "controller/frame_reader.h"
#include "controller/packet.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <string>
#include <vector>

namespace zel::controller_ {
namespace {

bytes from_hex(const std::string& hex) {
    bytes out;
    for (size_t i = 0; i + 1 < hex.size();) {
        if (hex[i] == ' ') {
            ++i;
            continue;
        }
        out.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
        i += 2;
    }
    return out;
}

bytes text_bytes(const std::string& text) {
    return bytes(text.begin(), text.end());
}

bytes compressed(const bytes& plain) {
    uLongf size = compressBound(plain.size());
    bytes out(size);
    compress(out.data(), &size, plain.data(), plain.size());
    out.resize(size);
    return out;
}

// A frame with any header values and payload bytes.
bytes frame(uint8_t type, uint8_t flag, uint8_t id, const bytes& payload) {
    bytes out{type, flag, id};
    const auto size = static_cast<uint32_t>(payload.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(size >> shift));
    }
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

struct cut_packet {
    uint8_t type;
    uint8_t id;
    std::string payload; // inflated when flagged
};

struct frame_case {
    const char* name;
    std::vector<bytes> reads; // the blocks as they arrive
    std::vector<cut_packet> packets;
    bool broken;
};

std::vector<frame_case> frame_cases() {
    const bytes ping = frame(10, 0, 1, text_bytes("{\"ping\":{}}"));
    const bytes two = [&] {
        bytes both = ping;
        const bytes ack = frame(20, 0, 2, {});
        both.insert(both.end(), ack.begin(), ack.end());
        return both;
    }();
    std::vector<bytes> byte_by_byte;
    for (uint8_t b : ping) {
        byte_by_byte.push_back({b});
    }
    const std::string big(150000, 'x');
    const bytes big_packed = frame(10, 1, 4, compressed(text_bytes(big)));
    const bytes too_big_packed = frame(10, 1, 5, compressed(bytes(204801, 'y')));
    return {
        {"one frame", {ping}, {{10, 1, "{\"ping\":{}}"}}, false},
        {"two frames in one read", {two}, {{10, 1, "{\"ping\":{}}"}, {20, 2, ""}}, false},
        {"frame split byte by byte", byte_by_byte, {{10, 1, "{\"ping\":{}}"}}, false},
        {"header split from payload",
         {bytes(ping.begin(), ping.begin() + 7), bytes(ping.begin() + 7, ping.end())},
         {{10, 1, "{\"ping\":{}}"}},
         false},
        {"keep-alive with length 0", {from_hex("64 00 07 00000000")}, {{100, 7, ""}}, false},
        {"compressed payload",
         {frame(10, 1, 3, compressed(text_bytes("{\"order\":{}}")))},
         {{10, 3, "{\"order\":{}}"}},
         false},
        {"compressed payload near the cap", {big_packed}, {{10, 4, big}}, false},
        {"payload that inflates past the cap", {too_big_packed}, {{10, 5, ""}}, false},
        {"corrupt compressed payload", {frame(10, 1, 6, text_bytes("not zlib"))}, {{10, 6, ""}}, false},
        {"incomplete frame waits", {from_hex("0a 00 01 00000005 7b7d")}, {}, false},
        {"oversized length", {from_hex("0a 00 01 7fffffff")}, {}, true},
        {"length just above the bound", {from_hex("0a 00 01 00400001")}, {}, true},
        {"frame then garbage", {ping, text_bytes("GET / HTTP/1.1\r\n")}, {{10, 1, "{\"ping\":{}}"}}, true},
        // A type this side does not know still makes a frame; the stream stays in step after it.
        {"unknown type", {frame(7, 0, 1, text_bytes("{}")), ping}, {{7, 1, "{}"}, {10, 1, "{\"ping\":{}}"}}, false},
    };
}

TEST(packet_frame, reader_cuts_every_complete_frame) {
    for (const frame_case& c : frame_cases()) {
        SCOPED_TRACE(c.name);
        frame_reader reader;
        std::vector<cut_packet> cut;
        bool broken = false;
        for (const bytes& block : c.reads) {
            reader.append(block.data(), block.size());
            packet p;
            frame_reader::result r;
            while ((r = reader.next(p)) == frame_reader::result::packet) {
                const bytes payload = p.payload();
                cut.push_back({p.type(), p.id(), std::string(payload.begin(), payload.end())});
            }
            broken = broken || r == frame_reader::result::broken;
        }
        EXPECT_EQ(broken, c.broken) << reader.error();
        ASSERT_EQ(cut.size(), c.packets.size());
        for (size_t i = 0; i < cut.size(); ++i) {
            EXPECT_EQ(cut[i].type, c.packets[i].type);
            EXPECT_EQ(cut[i].id, c.packets[i].id);
            EXPECT_EQ(cut[i].payload, c.packets[i].payload);
        }
    }
}

TEST(packet_frame, broken_stream_stays_broken) {
    frame_reader reader;
    const bytes bad = from_hex("0a 00 01 7fffffff");
    reader.append(bad.data(), bad.size());
    packet p;
    EXPECT_EQ(reader.next(p), frame_reader::result::broken);
    const bytes good = frame(10, 0, 1, text_bytes("{}"));
    reader.append(good.data(), good.size());
    EXPECT_EQ(reader.next(p), frame_reader::result::broken);
}

TEST(packet_frame, built_packets_write_their_length_most_significant_byte_first) {
    packet p(10, 0, 9);
    p.set_payload(bytes(300, 'a'));
    const bytes wire = p.to_bytes();
    ASSERT_EQ(wire.size(), 307u);
    EXPECT_EQ(bytes(wire.begin(), wire.begin() + 7), from_hex("0a 00 09 0000012c"));

    EXPECT_EQ(packet(101, 0, 7).to_bytes(), from_hex("65 00 07 00000000"));

    packet flagged(10, 1, 2); // this side never compresses: the payload is refused
    flagged.set_payload(text_bytes("{}"));
    EXPECT_EQ(flagged.to_bytes(), from_hex("0a 01 02 00000000"));
}

} // namespace
} // namespace zel::controller_
