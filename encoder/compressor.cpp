// The block compressor: one chunk in, an lh5 bit stream out (8192-byte window,
// matches of 3 to 256 bytes, static Huffman codes per block). The longest match
// is searched in a trie over the window whose children are found through hash
// chains; node positions are refreshed lazily by percolation.
#include <bit>
#include <cstring>

#include "encode12.h"

namespace encoder {
namespace {

constexpr int kDicBit = 13;
constexpr int kDicSiz = 1 << kDicBit;  // 8192
constexpr int kMaxMatch = 256;
constexpr int kThreshold = 3;
constexpr int kNC = 255 + kMaxMatch + 2 - kThreshold;  // 510 literal/length symbols
constexpr int kNP = kDicBit + 1;  // 14 position symbols
constexpr int kNT = 16 + 3;  // 19 code-length symbols
constexpr int kCBit = 9;
constexpr int kPBit = 4;
constexpr int kTBit = 5;
constexpr int kNPT = kNT;
constexpr int kBufSize = 16384;
constexpr int kMaxHashVal = 3 * kDicSiz + (kDicSiz / 512 + 1) * 255;  // 28911
constexpr int16_t kNil = 0;
constexpr int kPercFlag = 0x8000;  // position mark: refresh upward later
constexpr int kPosMask = 0x7FFF;

// Everything one compression works on. The encoder is not re-entrant by
// design (see encoder.h): there is one process-wide instance, and CompressData
// resets what it needs at the start of every call. Static storage keeps the
// tables (about 200 KB) off the stack and their addresses fixed.
struct CompressorState {
    // Input, output and bit writer.
    const uint8_t* input;
    uint32_t readPos;
    uint32_t orgSize;  // input length, also the output limit
    uint8_t* output;
    uint32_t outSize;  // bytes written to output so far
    uint32_t subBitBuf;
    int16_t bitCount;

    // Window and match state.
    uint8_t text[kDicSiz * 2 + kMaxMatch];
    int16_t pos;
    int16_t rem;
    int16_t matchLen;
    int16_t matchPos;

    // Trie.
    int16_t avail;
    uint8_t level[kDicSiz + 256];
    uint8_t childCount[kDicSiz + 256];
    int16_t position[kDicSiz + 256];
    int16_t parent[kDicSiz * 2];
    int16_t prev[kDicSiz * 2];
    int16_t next[kMaxHashVal + 1];

    // Code buffer and Huffman tables.
    uint8_t buf[kBufSize];
    uint32_t outputPos;
    uint32_t outputMask;
    uint32_t flagPos;
    uint32_t cFreq[2 * kNC - 1];
    uint32_t pFreq[2 * kNP - 1];
    uint32_t tFreq[2 * kNT - 1];
    uint8_t cLen[kNC];
    uint16_t cCode[kNC];
    uint8_t ptLen[kNPT];
    uint16_t ptCode[kNPT];
    uint16_t left[2 * kNC - 1];
    uint16_t right[2 * kNC - 1];
    int16_t heap[kNC + 1];
    int heapSize;
    uint16_t lenCnt[17];

    // The tree being built by CompMakeTree.
    int n;
    uint32_t* freq;
    uint8_t* len;
    uint16_t* sortPtr;
    int depth;
};

CompressorState state;

inline int Hash(int q, int c) { return q + (c << (kDicBit - 9)) + kDicSiz * 2; }

// ---- bit writer -------------------------------------------------------------

inline int CompPutByte(uint32_t byte)
{
    if (state.outSize >= state.orgSize)
        return 0;
    state.output[state.outSize++] = static_cast<uint8_t>(byte);
    return 1;
}

inline int CompPutBits(int n, uint32_t x)
{
    if (n < state.bitCount) {
        state.bitCount = static_cast<int16_t>(state.bitCount - n);
        state.subBitBuf |= x << state.bitCount;
        return 1;
    }
    n -= state.bitCount;
    if (!CompPutByte(state.subBitBuf | (x >> n)))
        return 0;
    if (n < 8) {
        state.bitCount = static_cast<int16_t>(8 - n);
    } else {
        if (!CompPutByte(x >> (n - 8)))
            return 0;
        state.bitCount = static_cast<int16_t>(16 - n);
    }
    state.subBitBuf = (x << state.bitCount) & 0xFF;
    return 1;
}

// ---- input ------------------------------------------------------------------

int CompGetData(uint8_t* buf, int n)
{
    const uint32_t left = state.orgSize - state.readPos;
    const uint32_t count = left < static_cast<uint32_t>(n) ? left : static_cast<uint32_t>(n);
    std::memcpy(buf, state.input + state.readPos, count);
    state.readPos += count;
    return static_cast<int>(count);
}

// ---- trie -------------------------------------------------------------------

void CompInit()
{
    for (int i = kDicSiz; i <= kDicSiz + 255; ++i) {
        state.level[i] = 1;
        state.position[i] = kNil;
    }
    for (int i = kDicSiz; i < kDicSiz * 2; ++i)
        state.parent[i] = kNil;
    state.avail = 1;
    for (int i = 1; i < kDicSiz - 1; ++i)
        state.next[i] = static_cast<int16_t>(i + 1);
    state.next[kDicSiz - 1] = kNil;
    for (int i = kDicSiz * 2; i <= kMaxHashVal; ++i)
        state.next[i] = kNil;

    state.buf[0] = 0;
    std::memset(state.cFreq, 0, sizeof(uint32_t) * kNC);
    std::memset(state.pFreq, 0, sizeof(uint32_t) * kNP);
    state.outputPos = 0;
    state.outputMask = 0;
    state.flagPos = 0;
    state.bitCount = 8;
    state.subBitBuf = 0;
}

inline int16_t CompChild(int q, int c)
{
    int16_t r = state.next[Hash(q, c)];
    state.parent[kNil] = static_cast<int16_t>(q);  // sentinel
    while (state.parent[r] != q)
        r = state.next[r];
    return r;
}

inline void CompMakeChild(int q, int c, int r)
{
    const int h = Hash(q, c);
    const int16_t t = state.next[h];
    state.next[h] = static_cast<int16_t>(r);
    state.next[r] = t;
    state.prev[t] = static_cast<int16_t>(r);
    state.prev[r] = static_cast<int16_t>(h);
    state.parent[r] = static_cast<int16_t>(q);
    ++state.childCount[q];
}

void CompSplit(int old)
{
    const int16_t n = state.avail;
    state.avail = state.next[n];
    state.childCount[n] = 0;
    int16_t t = state.prev[old];
    state.prev[n] = t;
    state.next[t] = n;
    t = state.next[old];
    state.next[n] = t;
    state.prev[t] = n;
    state.parent[n] = state.parent[old];
    state.level[n] = static_cast<uint8_t>(state.matchLen);
    state.position[n] = state.pos;
    CompMakeChild(n, state.text[state.matchPos + state.matchLen], old);
    CompMakeChild(n, state.text[state.pos + state.matchLen], state.pos);
}

// The previous match continues one byte shorter: start the search at the node
// on its path whose level is below the new length, and mark the path above it
// for a later refresh of positions.
[[gnu::always_inline]] inline int16_t CompFastStart(int16_t& r)
{
    const int16_t p = state.pos;
    --state.matchLen;
    r = static_cast<int16_t>((state.matchPos + 1) | kDicSiz);
    int16_t q;
    while ((q = state.parent[r]) == kNil)
        r = state.next[r];
    while (state.level[q] >= state.matchLen) {
        r = q;
        q = state.parent[q];
    }
    int16_t t = q;
    while (state.position[t] < 0) {
        state.position[t] = p;
        t = state.parent[t];
    }
    // Only an internal node takes the mark; a root keeps its position. Written
    // as a select because the outcome is hard to predict.
    const int16_t mark = static_cast<int16_t>(p | kPercFlag);
    state.position[t] = t < kDicSiz ? mark : state.position[t];
    return q;
}

// Length of the common prefix of a and b, counted on from len, at most limit;
// compares eight bytes at a time.
inline int CommonPrefix(const uint8_t* a, const uint8_t* b, int len, int limit)
{
    while (len + 8 <= limit) {
        uint64_t x;
        uint64_t y;
        std::memcpy(&x, a + len, 8);
        std::memcpy(&y, b + len, 8);
        if (x != y) {
            const uint64_t d = x ^ y;
            const int bits = std::endian::native == std::endian::little ? std::countr_zero(d) : std::countl_zero(d);
            return len + (bits >> 3);
        }
        len += 8;
    }
    while (len < limit && a[len] == b[len])
        ++len;
    return len;
}

[[gnu::always_inline]] inline void CompInsNode()
{
    const int16_t p = state.pos;
    int16_t q;
    int16_t r;
    if (state.matchLen >= 4) {
        q = CompFastStart(r);
    } else {
        q = static_cast<int16_t>(state.text[p] + kDicSiz);
        const uint8_t c = state.text[p + 1];
        if ((r = CompChild(q, c)) == kNil) {
            CompMakeChild(q, c, p);
            state.matchLen = 1;
            return;
        }
        state.matchLen = 2;
    }
    for (;;) {
        int j;
        if (r >= kDicSiz) {
            j = kMaxMatch;
            state.matchPos = r;
        } else {
            j = state.level[r];
            state.matchPos = static_cast<int16_t>(state.position[r] & kPosMask);
        }
        if (state.matchPos >= p)
            state.matchPos = static_cast<int16_t>(state.matchPos - kDicSiz);
        const int len = CommonPrefix(&state.text[p], &state.text[state.matchPos], state.matchLen, j);
        state.matchLen = static_cast<int16_t>(len);
        if (len < j) {
            CompSplit(r);
            return;
        }
        if (len >= kMaxMatch)
            break;
        state.position[r] = p;
        q = r;
        const uint8_t c = state.text[p + len];
        if ((r = CompChild(q, c)) == kNil) {
            CompMakeChild(q, c, p);
            return;
        }
        ++state.matchLen;
    }
    // The new string equals leaf r over the whole match length: p replaces r.
    int16_t t = state.prev[r];
    state.prev[p] = t;
    state.next[t] = p;
    t = state.next[r];
    state.next[p] = t;
    state.prev[t] = p;
    state.parent[p] = q;
    state.parent[r] = kNil;
    state.next[r] = p;  // lets a later fast start from r find p
}

// Window index v of the current pass: indexes at or after p are one pass old.
inline int16_t CurrentPass(int v, int p) { return static_cast<int16_t>(v >= p ? v - kDicSiz : v); }

[[gnu::always_inline]] inline void CompDelNode()
{
    const int16_t p = state.pos;
    if (state.parent[p] == kNil)
        return;
    int16_t r = state.prev[p];
    int16_t s = state.next[p];
    state.next[r] = s;
    state.prev[s] = r;
    r = state.parent[p];
    state.parent[p] = kNil;
    if (r >= kDicSiz || --state.childCount[r] > 1)
        return;

    const int16_t t = CurrentPass(state.position[r] & kPosMask, p);
    s = t;
    int16_t q = state.parent[r];
    int16_t u;
    while ((u = state.position[q]) & kPercFlag) {
        u = CurrentPass(u & kPosMask, p);
        if (u > s)
            s = u;
        state.position[q] = static_cast<int16_t>(s | kDicSiz);
        q = state.parent[q];
    }
    // As in the fast start: the mark goes to an internal node only, as a select.
    u = CurrentPass(u, p);
    if (u > s)
        s = u;
    const int16_t mark = static_cast<int16_t>(s | kDicSiz | kPercFlag);
    state.position[q] = q < kDicSiz ? mark : state.position[q];

    // Node r has one child left: the child takes r's place, r goes to the free list.
    s = CompChild(r, state.text[t + state.level[r]]);
    int16_t a = state.prev[s];
    int16_t b = state.next[s];
    state.next[a] = b;
    state.prev[b] = a;
    a = state.prev[r];
    state.next[a] = s;
    state.prev[s] = a;
    a = state.next[r];
    state.prev[a] = s;
    state.next[s] = a;
    state.parent[s] = state.parent[r];
    state.parent[r] = kNil;
    state.next[r] = state.avail;
    state.avail = r;
}

// The trie operations run once per input byte; inlining them into the main
// loop saves a noticeable share of the time in calls.
[[gnu::always_inline]] inline void CompGetNextMatch()
{
    --state.rem;
    if (++state.pos == kDicSiz * 2) {
        std::memmove(&state.text[0], &state.text[kDicSiz], kDicSiz + kMaxMatch);
        const int n = CompGetData(&state.text[kDicSiz + kMaxMatch], kDicSiz);
        state.rem = static_cast<int16_t>(state.rem + n);
        state.pos = kDicSiz;
    }
    CompDelNode();
    CompInsNode();
}

// ---- Huffman codes ----------------------------------------------------------

void CompCountLen(int i)
{
    if (i < state.n) {
        ++state.lenCnt[state.depth < 16 ? state.depth : 16];
    } else {
        ++state.depth;
        CompCountLen(state.left[i]);
        CompCountLen(state.right[i]);
        --state.depth;
    }
}

void CompMakeLen(int root)
{
    for (int i = 0; i <= 16; ++i)
        state.lenCnt[i] = 0;
    CompCountLen(root);
    uint32_t cum = 0;
    for (int i = 16; i > 0; --i)
        cum += static_cast<uint32_t>(state.lenCnt[i]) << (16 - i);
    // Limit the code lengths to 16 bits.
    while (cum != (1u << 16)) {
        --state.lenCnt[16];
        for (int i = 15; i > 0; --i) {
            if (state.lenCnt[i] != 0) {
                --state.lenCnt[i];
                state.lenCnt[i + 1] = static_cast<uint16_t>(state.lenCnt[i + 1] + 2);
                break;
            }
        }
        --cum;
    }
    for (int i = 16; i > 0; --i) {
        for (int k = state.lenCnt[i]; k > 0; --k)
            state.len[*state.sortPtr++] = static_cast<uint8_t>(i);
    }
}

void CompDownHeap(int i)
{
    const int16_t k = state.heap[i];
    int j;
    while ((j = 2 * i) <= state.heapSize) {
        if (j < state.heapSize && state.freq[state.heap[j]] > state.freq[state.heap[j + 1]])
            ++j;
        if (state.freq[k] <= state.freq[state.heap[j]])
            break;
        state.heap[i] = state.heap[j];
        i = j;
    }
    state.heap[i] = k;
}

void CompMakeCode(int n, const uint8_t* len, uint16_t* code)
{
    uint16_t start[18];
    start[0] = 0;  // symbols of length 0: their codes are never written
    start[1] = 0;
    for (int i = 1; i <= 16; ++i)
        start[i + 1] = static_cast<uint16_t>((start[i] + state.lenCnt[i]) << 1);
    for (int i = 0; i < n; ++i)
        code[i] = start[len[i]]++;
}

int CompMakeTree(int nParm, uint32_t* freqParm, uint8_t* lenParm, uint16_t* codeParm)
{
    state.n = nParm;
    state.freq = freqParm;
    state.len = lenParm;
    int avail = state.n;
    state.heapSize = 0;
    state.heap[1] = 0;
    for (int i = 0; i < state.n; ++i) {
        state.len[i] = 0;
        if (state.freq[i])
            state.heap[++state.heapSize] = static_cast<int16_t>(i);
    }
    if (state.heapSize < 2) {
        codeParm[state.heap[1]] = 0;
        return state.heap[1];
    }
    for (int i = state.heapSize / 2; i >= 1; --i)
        CompDownHeap(i);
    state.sortPtr = codeParm;
    int k;
    do {
        const int i = state.heap[1];
        if (i < state.n)
            *state.sortPtr++ = static_cast<uint16_t>(i);
        state.heap[1] = state.heap[state.heapSize--];
        CompDownHeap(1);
        const int j = state.heap[1];
        if (j < state.n)
            *state.sortPtr++ = static_cast<uint16_t>(j);
        k = avail++;
        state.freq[k] = state.freq[i] + state.freq[j];
        state.heap[1] = static_cast<int16_t>(k);
        CompDownHeap(1);
        state.left[k] = static_cast<uint16_t>(i);
        state.right[k] = static_cast<uint16_t>(j);
    } while (state.heapSize > 1);
    state.sortPtr = codeParm;
    CompMakeLen(k);
    CompMakeCode(nParm, lenParm, codeParm);
    return k;
}

// Number of C lengths without the trailing zeros.
int CountCLen()
{
    int n = kNC;
    while (n > 0 && state.cLen[n - 1] == 0)
        --n;
    return n;
}

void CompCountTFreq()
{
    for (int i = 0; i < kNT; ++i)
        state.tFreq[i] = 0;
    const int n = CountCLen();
    int i = 0;
    while (i < n) {
        const int k = state.cLen[i++];
        if (k == 0) {
            int count = 1;
            while (i < n && state.cLen[i] == 0) {
                ++i;
                ++count;
            }
            if (count <= 2) {
                state.tFreq[0] += static_cast<uint32_t>(count);
            } else if (count <= 18) {
                ++state.tFreq[1];
            } else if (count == 19) {
                ++state.tFreq[0];
                ++state.tFreq[1];
            } else {
                ++state.tFreq[2];
            }
        } else {
            ++state.tFreq[k + 2];
        }
    }
}

int CompWrPtLen(int n, int nBit, int iSpecial)
{
    while (n > 0 && state.ptLen[n - 1] == 0)
        --n;
    if (!CompPutBits(nBit, static_cast<uint32_t>(n)))
        return 0;
    int i = 0;
    while (i < n) {
        const int k = state.ptLen[i++];
        const int ok = k <= 6 ? CompPutBits(3, static_cast<uint32_t>(k)) : CompPutBits(k - 3, (1u << (k - 3)) - 2);
        if (!ok)
            return 0;
        if (i == iSpecial) {
            while (i < 6 && state.ptLen[i] == 0)
                ++i;
            if (!CompPutBits(2, static_cast<uint32_t>(i - 3) & 3))
                return 0;
        }
    }
    return 1;
}

inline int CompPutT(int symbol) { return CompPutBits(state.ptLen[symbol], state.ptCode[symbol]); }

int CompWrZeroRun(int count)
{
    if (count <= 2) {
        for (int k = 0; k < count; ++k) {
            if (!CompPutT(0))
                return 0;
        }
        return 1;
    }
    if (count <= 18)
        return CompPutT(1) && CompPutBits(4, static_cast<uint32_t>(count - 3));
    if (count == 19)
        return CompPutT(0) && CompPutT(1) && CompPutBits(4, 15);
    return CompPutT(2) && CompPutBits(kCBit, static_cast<uint32_t>(count - 20));
}

int CompWrCLen()
{
    const int n = CountCLen();
    if (!CompPutBits(kCBit, static_cast<uint32_t>(n)))
        return 0;
    int i = 0;
    while (i < n) {
        const int k = state.cLen[i++];
        if (k == 0) {
            int count = 1;
            while (i < n && state.cLen[i] == 0) {
                ++i;
                ++count;
            }
            if (!CompWrZeroRun(count))
                return 0;
        } else if (!CompPutT(k + 2)) {
            return 0;
        }
    }
    return 1;
}

// Bit writer for the codes of a block: collects bits in a 64-bit word and
// moves whole bytes to the output four at a time. It takes over the pending
// byte of the bit writer and hands it back, so the stream and the point where
// the output limit stops it are the same as with CompPutBits.
class CodeBits {
public:
    CodeBits() : bits_(state.subBitBuf >> state.bitCount), count_(8 - state.bitCount) {}

    // Appends the low n bits of x (n from 0 to 16, no bits set above them).
    int Put(int n, uint32_t x)
    {
        bits_ = (bits_ << n) | x;
        count_ += n;
        return count_ < 32 || PutWord();
    }

    // Writes the remaining whole bytes and leaves the rest pending in the bit writer.
    int Finish()
    {
        while (count_ >= 8) {
            if (!CompPutByte(static_cast<uint32_t>(bits_ >> (count_ - 8))))
                return 0;
            count_ -= 8;
        }
        state.bitCount = static_cast<int16_t>(8 - count_);
        state.subBitBuf = static_cast<uint32_t>(bits_ << state.bitCount) & 0xFF;
        return 1;
    }

private:
    int PutWord()
    {
        // Near the output limit the bytes go one at a time, so the stream stops
        // at the same byte as with CompPutBits (four whole bytes are pending).
        if (state.orgSize - state.outSize < 4)
            return Finish();
        const uint32_t word = static_cast<uint32_t>(bits_ >> (count_ - 32));
        uint8_t* out = state.output + state.outSize;
        out[0] = static_cast<uint8_t>(word >> 24);
        out[1] = static_cast<uint8_t>(word >> 16);
        out[2] = static_cast<uint8_t>(word >> 8);
        out[3] = static_cast<uint8_t>(word);
        state.outSize += 4;
        count_ -= 32;
        return 1;
    }

    uint64_t bits_;  // pending bits, the last one lowest; at most 47 in use
    int count_;  // number of pending bits
};

inline int CompEncC(CodeBits& out, int symbol) { return out.Put(state.cLen[symbol], state.cCode[symbol]); }

// Number of significant bits of p: the position symbol of distance value p.
inline int BitLength(uint32_t p) { return static_cast<int>(std::bit_width(p)); }

inline int CompEncP(CodeBits& out, uint32_t p)
{
    const int c = BitLength(p);
    if (!out.Put(state.ptLen[c], state.ptCode[c]))
        return 0;
    if (c > 1)
        return out.Put(c - 1, p & (0xFFFFu >> (17 - c)));
    return 1;
}

int CompWrTables(uint32_t& size)
{
    int root = CompMakeTree(kNC, state.cFreq, state.cLen, state.cCode);
    size = state.cFreq[root];
    if (!CompPutBits(16, size))
        return 0;
    if (root >= kNC) {
        CompCountTFreq();
        root = CompMakeTree(kNT, state.tFreq, state.ptLen, state.ptCode);
        const int ok = root >= kNT ? CompWrPtLen(kNT, kTBit, 3)
                                   : CompPutBits(kTBit, 0) && CompPutBits(kTBit, static_cast<uint32_t>(root));
        if (!ok || !CompWrCLen())
            return 0;
    } else if (!(CompPutBits(kTBit, 0) && CompPutBits(kTBit, 0) && CompPutBits(kCBit, 0) &&
                 CompPutBits(kCBit, static_cast<uint32_t>(root)))) {
        return 0;
    }
    root = CompMakeTree(kNP, state.pFreq, state.ptLen, state.ptCode);
    if (root >= kNP)
        return CompWrPtLen(kNP, kPBit, -1);
    return CompPutBits(kPBit, 0) && CompPutBits(kPBit, static_cast<uint32_t>(root));
}

int CompSendBlock()
{
    uint32_t size = 0;
    if (!CompWrTables(size))
        return 0;
    CodeBits out;
    uint32_t pos = 0;
    uint32_t flags = 0;
    for (uint32_t i = 0; i < size; ++i) {
        if (i % 8 == 0) {
            flags = state.buf[pos++];
        } else {
            flags <<= 1;
        }
        if (flags & 0x80) {
            if (!CompEncC(out, state.buf[pos++] + 256))
                return 0;
            uint32_t k = static_cast<uint32_t>(state.buf[pos++]) << 8;
            k += state.buf[pos++];
            if (!CompEncP(out, k))
                return 0;
        } else if (!CompEncC(out, state.buf[pos++])) {
            return 0;
        }
    }
    if (!out.Finish())
        return 0;
    std::memset(state.cFreq, 0, sizeof(uint32_t) * kNC);
    std::memset(state.pFreq, 0, sizeof(uint32_t) * kNP);
    return 1;
}

int CompOutput(uint32_t c, uint32_t p)
{
    if ((state.outputMask >>= 1) == 0) {
        state.outputMask = 0x80;
        if (state.outputPos >= kBufSize - 24) {
            if (!CompSendBlock())
                return 0;
            state.outputPos = 0;
        }
        state.flagPos = state.outputPos++;
        state.buf[state.flagPos] = 0;
    }
    state.buf[state.outputPos++] = static_cast<uint8_t>(c);
    ++state.cFreq[c];
    if (c >= 256) {
        state.buf[state.flagPos] = static_cast<uint8_t>(state.buf[state.flagPos] | state.outputMask);
        state.buf[state.outputPos++] = static_cast<uint8_t>(p >> 8);
        state.buf[state.outputPos++] = static_cast<uint8_t>(p);
        ++state.pFreq[BitLength(p)];
    }
    return 1;
}

}  // namespace

uint32_t CompressData(uint8_t* outBuf, const uint8_t* inBuf, uint32_t orgSize)
{
    state.input = inBuf;
    state.readPos = 0;
    state.orgSize = orgSize;
    state.output = outBuf;
    state.outSize = 0;
    CompInit();

    state.rem = static_cast<int16_t>(CompGetData(&state.text[kDicSiz], kDicSiz + kMaxMatch));
    state.matchLen = 0;
    state.pos = kDicSiz;
    CompInsNode();
    if (state.matchLen > state.rem)
        state.matchLen = state.rem;
    while (state.rem > 0) {
        const int lastMatchLen = state.matchLen;
        const int lastMatchPos = state.matchPos;
        CompGetNextMatch();
        if (state.matchLen > state.rem)
            state.matchLen = state.rem;
        int ok;
        if (state.matchLen > lastMatchLen || lastMatchLen < kThreshold) {
            ok = CompOutput(state.text[state.pos - 1], 0);
        } else {
            ok = CompOutput(static_cast<uint32_t>(lastMatchLen + (256 - kThreshold)),
                            static_cast<uint32_t>((state.pos - lastMatchPos - 2) & (kDicSiz - 1)));
            for (int k = lastMatchLen - 1; k > 0; --k)
                CompGetNextMatch();
            if (state.matchLen > state.rem)
                state.matchLen = state.rem;
        }
        if (!ok)
            return 0;
    }
    if (!CompSendBlock() || !CompPutBits(7, 0))
        return 0;
    return state.outSize;
}

}  // namespace encoder
