#pragma once

#include <cstddef>
#include <cstdint>

// The loops that look at stored bytes one after the other: the cipher's way back, and Find's page
// scan. The two that look at every byte of a page, where the three probes of the text's run stand
// together and where entries begin, come in the widths the processor offers; they all give the
// same answers.
namespace byteScan {

// How many bytes a loop looks at in one step.
enum class Width {
    Widest,  // as many as the processor running the program can
    Sixteen, // what every x86-64 processor can
    One,     // plain loops, for any processor
};

// The probes: a stored byte b holds probe k's character when b less lowest[k] leaves no bit
// outside spread (see PageSearch).
struct Sieve {
    std::size_t offsets[3] = {};
    unsigned char lowest[3] = {};
    unsigned char spread = 0;
};

struct Loops {
    // From place from on, 64 places at a time while 64 remain before to: the first of the 64
    // places where a candidate stands, bit j of mask set for a candidate at that place + j. When
    // there is none, the place from which fewer than 64 remain, and mask 0. The bytes looked at
    // for a place s are p[s + offsets[k]], so p must hold to + offsets[2] bytes.
    std::size_t (*nextCandidates)(const unsigned char* p, std::size_t from, std::size_t to, const Sieve& sieve,
                                  std::uint64_t& mask);
    // Entries (non-empty lines) that start in [from, to) of p, 0 < from <= to: wherever a byte
    // that is no line end follows a line end.
    std::size_t (*countStarts)(const unsigned char* p, std::size_t from, std::size_t to);
};

// The loops of the width asked for, or of the widest the processor has below it.
const Loops& loops(Width width);

// The n bytes from `from` lowered by shift (1 or more) into `to`, which lies apart from them:
// whether every byte lay at or above the shift, and whether any lowered byte lies beyond ASCII
// or is an "&", the start of a reference.
struct Lowered {
    bool readable = true;
    bool needsDecoding = false;
};
Lowered lower(const unsigned char* from, unsigned char* to, std::size_t n, unsigned char shift);

// Where the run of bytes at or above key that holds place s of p begins, and where it ends
// (p holds n bytes).
std::size_t runBegin(const unsigned char* p, std::size_t s, unsigned char key);
std::size_t runEnd(const unsigned char* p, std::size_t n, std::size_t s, unsigned char key);

} // namespace byteScan
