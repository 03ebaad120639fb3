// The block compressor: one chunk in, an lh5 bit stream out (8192-byte window,
// matches of 3 to 256 bytes, static Huffman codes per block). The longest match
// is searched in a trie over the window whose children are found through hash
// chains; node positions are refreshed lazily by percolation.
#include <bit>
#include <cstring>

#include "encode12.h"

namespace encoder {

uint32_t _compSize = 0;

namespace {

constexpr int kDicBit = 13;
constexpr int kDicSiz = 1 << kDicBit;        // 8192
constexpr int kMaxMatch = 256;
constexpr int kThreshold = 3;
constexpr int kNC = 255 + kMaxMatch + 2 - kThreshold;  // 510 literal/length symbols
constexpr int kNP = kDicBit + 1;             // 14 position symbols
constexpr int kNT = 16 + 3;                  // 19 code-length symbols
constexpr int kCBit = 9;
constexpr int kPBit = 4;
constexpr int kTBit = 5;
constexpr int kNPT = kNT;
constexpr int kBufSize = 16384;
constexpr int kMaxHashVal = 3 * kDicSiz + (kDicSiz / 512 + 1) * 255;  // 28911
constexpr int16_t kNil = 0;
constexpr int kPercFlag = 0x8000;  // position mark: refresh upward later
constexpr int kPosMask = 0x7FFF;

// Input, output and bit writer.
const uint8_t* _compData;
uint32_t _compReadPos;
uint32_t _compOrgSize;
uint8_t* _compOut;
uint32_t _compSubBitBuf;
int16_t _compBitCount;

// Window and match state.
uint8_t _compText[kDicSiz * 2 + kMaxMatch];
int16_t _compPos;
int16_t _compRem;
int16_t _compMatchLen;
int16_t _compMatchPos;

// Trie.
int16_t _compAvail;
uint8_t _compLevel[kDicSiz + 256];
uint8_t _compChildCount[kDicSiz + 256];
int16_t _compPosition[kDicSiz + 256];
int16_t _compParent[kDicSiz * 2];
int16_t _compPrev[kDicSiz * 2];
int16_t _compNext[kMaxHashVal + 1];

// Code buffer and Huffman tables.
uint8_t _compBuf[kBufSize];
uint32_t _compOutputPos;
uint32_t _compOutputMask;
uint32_t _compFlagPos;
uint32_t _compCFreq[2 * kNC - 1];
uint32_t _compPFreq[2 * kNP - 1];
uint32_t _compTFreq[2 * kNT - 1];
uint8_t _compCLen[kNC];
uint16_t _compCCode[kNC];
uint8_t _compPtLen[kNPT];
uint16_t _compPtCode[kNPT];
uint16_t _compLeft[2 * kNC - 1];
uint16_t _compRight[2 * kNC - 1];
int16_t _compHeap[kNC + 1];
int _compHeapSize;
uint16_t _compLenCnt[17];
int _compN;
uint32_t* _compFreq;
uint8_t* _compLen;
uint16_t* _compSortPtr;
int _compDepth;

inline int Hash(int q, int c) { return q + (c << (kDicBit - 9)) + kDicSiz * 2; }

// ---- bit writer -------------------------------------------------------------

inline int CompPutByte(uint32_t byte) {
  if (_compSize >= _compOrgSize) return 0;
  _compOut[_compSize++] = static_cast<uint8_t>(byte);
  return 1;
}

inline int CompPutBits(int n, uint32_t x) {
  if (n < _compBitCount) {
    _compBitCount = static_cast<int16_t>(_compBitCount - n);
    _compSubBitBuf |= x << _compBitCount;
    return 1;
  }
  n -= _compBitCount;
  if (!CompPutByte(_compSubBitBuf | (x >> n))) return 0;
  if (n < 8) {
    _compBitCount = static_cast<int16_t>(8 - n);
  } else {
    if (!CompPutByte(x >> (n - 8))) return 0;
    _compBitCount = static_cast<int16_t>(16 - n);
  }
  _compSubBitBuf = (x << _compBitCount) & 0xFF;
  return 1;
}

// ---- input ------------------------------------------------------------------

int CompGetData(uint8_t* buf, int n) {
  const uint32_t left = _compOrgSize - _compReadPos;
  const uint32_t count = left < static_cast<uint32_t>(n) ? left : static_cast<uint32_t>(n);
  std::memcpy(buf, _compData + _compReadPos, count);
  _compReadPos += count;
  return static_cast<int>(count);
}

// ---- trie -------------------------------------------------------------------

void CompInit() {
  for (int i = kDicSiz; i <= kDicSiz + 255; ++i) {
    _compLevel[i] = 1;
    _compPosition[i] = kNil;
  }
  for (int i = kDicSiz; i < kDicSiz * 2; ++i) _compParent[i] = kNil;
  _compAvail = 1;
  for (int i = 1; i < kDicSiz - 1; ++i) _compNext[i] = static_cast<int16_t>(i + 1);
  _compNext[kDicSiz - 1] = kNil;
  for (int i = kDicSiz * 2; i <= kMaxHashVal; ++i) _compNext[i] = kNil;

  _compBuf[0] = 0;
  std::memset(_compCFreq, 0, sizeof(uint32_t) * kNC);
  std::memset(_compPFreq, 0, sizeof(uint32_t) * kNP);
  _compOutputPos = 0;
  _compOutputMask = 0;
  _compFlagPos = 0;
  _compBitCount = 8;
  _compSubBitBuf = 0;
}

inline int16_t CompChild(int q, int c) {
  int16_t r = _compNext[Hash(q, c)];
  _compParent[kNil] = static_cast<int16_t>(q);  // sentinel
  while (_compParent[r] != q) r = _compNext[r];
  return r;
}

inline void CompMakeChild(int q, int c, int r) {
  const int h = Hash(q, c);
  const int16_t t = _compNext[h];
  _compNext[h] = static_cast<int16_t>(r);
  _compNext[r] = t;
  _compPrev[t] = static_cast<int16_t>(r);
  _compPrev[r] = static_cast<int16_t>(h);
  _compParent[r] = static_cast<int16_t>(q);
  ++_compChildCount[q];
}

void CompSplit(int old) {
  const int16_t n = _compAvail;
  _compAvail = _compNext[n];
  _compChildCount[n] = 0;
  int16_t t = _compPrev[old];
  _compPrev[n] = t;
  _compNext[t] = n;
  t = _compNext[old];
  _compNext[n] = t;
  _compPrev[t] = n;
  _compParent[n] = _compParent[old];
  _compLevel[n] = static_cast<uint8_t>(_compMatchLen);
  _compPosition[n] = _compPos;
  CompMakeChild(n, _compText[_compMatchPos + _compMatchLen], old);
  CompMakeChild(n, _compText[_compPos + _compMatchLen], _compPos);
}

// The previous match continues one byte shorter: start the search at the node
// on its path whose level is below the new length, and mark the path above it
// for a later refresh of positions.
[[gnu::always_inline]] inline int16_t CompFastStart(int16_t& r) {
  const int16_t p = _compPos;
  --_compMatchLen;
  r = static_cast<int16_t>((_compMatchPos + 1) | kDicSiz);
  int16_t q;
  while ((q = _compParent[r]) == kNil) r = _compNext[r];
  while (_compLevel[q] >= _compMatchLen) {
    r = q;
    q = _compParent[q];
  }
  int16_t t = q;
  while (_compPosition[t] < 0) {
    _compPosition[t] = p;
    t = _compParent[t];
  }
  // Only an internal node takes the mark; a root keeps its position. Written
  // as a select because the outcome is hard to predict.
  const int16_t mark = static_cast<int16_t>(p | kPercFlag);
  _compPosition[t] = t < kDicSiz ? mark : _compPosition[t];
  return q;
}

// Length of the common prefix of a and b, counted on from len, at most limit;
// compares eight bytes at a time.
inline int CommonPrefix(const uint8_t* a, const uint8_t* b, int len, int limit) {
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
  while (len < limit && a[len] == b[len]) ++len;
  return len;
}

[[gnu::always_inline]] inline void CompInsNode() {
  const int16_t p = _compPos;
  int16_t q;
  int16_t r;
  if (_compMatchLen >= 4) {
    q = CompFastStart(r);
  } else {
    q = static_cast<int16_t>(_compText[p] + kDicSiz);
    const uint8_t c = _compText[p + 1];
    if ((r = CompChild(q, c)) == kNil) {
      CompMakeChild(q, c, p);
      _compMatchLen = 1;
      return;
    }
    _compMatchLen = 2;
  }
  for (;;) {
    int j;
    if (r >= kDicSiz) {
      j = kMaxMatch;
      _compMatchPos = r;
    } else {
      j = _compLevel[r];
      _compMatchPos = static_cast<int16_t>(_compPosition[r] & kPosMask);
    }
    if (_compMatchPos >= p) _compMatchPos = static_cast<int16_t>(_compMatchPos - kDicSiz);
    const int len = CommonPrefix(&_compText[p], &_compText[_compMatchPos], _compMatchLen, j);
    _compMatchLen = static_cast<int16_t>(len);
    if (len < j) {
      CompSplit(r);
      return;
    }
    if (len >= kMaxMatch) break;
    _compPosition[r] = p;
    q = r;
    const uint8_t c = _compText[p + len];
    if ((r = CompChild(q, c)) == kNil) {
      CompMakeChild(q, c, p);
      return;
    }
    ++_compMatchLen;
  }
  // The new string equals leaf r over the whole match length: p replaces r.
  int16_t t = _compPrev[r];
  _compPrev[p] = t;
  _compNext[t] = p;
  t = _compNext[r];
  _compNext[p] = t;
  _compPrev[t] = p;
  _compParent[p] = q;
  _compParent[r] = kNil;
  _compNext[r] = p;  // lets a later fast start from r find p
}

// Window index v of the current pass: indexes at or after p are one pass old.
inline int16_t CurrentPass(int v, int p) { return static_cast<int16_t>(v >= p ? v - kDicSiz : v); }

[[gnu::always_inline]] inline void CompDelNode() {
  const int16_t p = _compPos;
  if (_compParent[p] == kNil) return;
  int16_t r = _compPrev[p];
  int16_t s = _compNext[p];
  _compNext[r] = s;
  _compPrev[s] = r;
  r = _compParent[p];
  _compParent[p] = kNil;
  if (r >= kDicSiz || --_compChildCount[r] > 1) return;

  const int16_t t = CurrentPass(_compPosition[r] & kPosMask, p);
  s = t;
  int16_t q = _compParent[r];
  int16_t u;
  while ((u = _compPosition[q]) & kPercFlag) {
    u = CurrentPass(u & kPosMask, p);
    if (u > s) s = u;
    _compPosition[q] = static_cast<int16_t>(s | kDicSiz);
    q = _compParent[q];
  }
  // As in the fast start: the mark goes to an internal node only, as a select.
  u = CurrentPass(u, p);
  if (u > s) s = u;
  const int16_t mark = static_cast<int16_t>(s | kDicSiz | kPercFlag);
  _compPosition[q] = q < kDicSiz ? mark : _compPosition[q];

  // Node r has one child left: the child takes r's place, r goes to the free list.
  s = CompChild(r, _compText[t + _compLevel[r]]);
  int16_t a = _compPrev[s];
  int16_t b = _compNext[s];
  _compNext[a] = b;
  _compPrev[b] = a;
  a = _compPrev[r];
  _compNext[a] = s;
  _compPrev[s] = a;
  a = _compNext[r];
  _compPrev[a] = s;
  _compNext[s] = a;
  _compParent[s] = _compParent[r];
  _compParent[r] = kNil;
  _compNext[r] = _compAvail;
  _compAvail = r;
}

// The trie operations run once per input byte; inlining them into the main
// loop saves a noticeable share of the time in calls.
[[gnu::always_inline]] inline void CompGetNextMatch() {
  --_compRem;
  if (++_compPos == kDicSiz * 2) {
    std::memmove(&_compText[0], &_compText[kDicSiz], kDicSiz + kMaxMatch);
    const int n = CompGetData(&_compText[kDicSiz + kMaxMatch], kDicSiz);
    _compRem = static_cast<int16_t>(_compRem + n);
    _compPos = kDicSiz;
  }
  CompDelNode();
  CompInsNode();
}

// ---- Huffman codes ----------------------------------------------------------

void CompCountLen(int i) {
  if (i < _compN) {
    ++_compLenCnt[_compDepth < 16 ? _compDepth : 16];
  } else {
    ++_compDepth;
    CompCountLen(_compLeft[i]);
    CompCountLen(_compRight[i]);
    --_compDepth;
  }
}

void CompMakeLen(int root) {
  for (int i = 0; i <= 16; ++i) _compLenCnt[i] = 0;
  CompCountLen(root);
  uint32_t cum = 0;
  for (int i = 16; i > 0; --i) cum += static_cast<uint32_t>(_compLenCnt[i]) << (16 - i);
  // Limit the code lengths to 16 bits.
  while (cum != (1u << 16)) {
    --_compLenCnt[16];
    for (int i = 15; i > 0; --i) {
      if (_compLenCnt[i] != 0) {
        --_compLenCnt[i];
        _compLenCnt[i + 1] = static_cast<uint16_t>(_compLenCnt[i + 1] + 2);
        break;
      }
    }
    --cum;
  }
  for (int i = 16; i > 0; --i) {
    for (int k = _compLenCnt[i]; k > 0; --k) _compLen[*_compSortPtr++] = static_cast<uint8_t>(i);
  }
}

void CompDownHeap(int i) {
  const int16_t k = _compHeap[i];
  int j;
  while ((j = 2 * i) <= _compHeapSize) {
    if (j < _compHeapSize && _compFreq[_compHeap[j]] > _compFreq[_compHeap[j + 1]]) ++j;
    if (_compFreq[k] <= _compFreq[_compHeap[j]]) break;
    _compHeap[i] = _compHeap[j];
    i = j;
  }
  _compHeap[i] = k;
}

void CompMakeCode(int n, const uint8_t* len, uint16_t* code) {
  uint16_t start[18];
  start[0] = 0;  // symbols of length 0: their codes are never written
  start[1] = 0;
  for (int i = 1; i <= 16; ++i) start[i + 1] = static_cast<uint16_t>((start[i] + _compLenCnt[i]) << 1);
  for (int i = 0; i < n; ++i) code[i] = start[len[i]]++;
}

int CompMakeTree(int nParm, uint32_t* freqParm, uint8_t* lenParm, uint16_t* codeParm) {
  _compN = nParm;
  _compFreq = freqParm;
  _compLen = lenParm;
  int avail = _compN;
  _compHeapSize = 0;
  _compHeap[1] = 0;
  for (int i = 0; i < _compN; ++i) {
    _compLen[i] = 0;
    if (_compFreq[i]) _compHeap[++_compHeapSize] = static_cast<int16_t>(i);
  }
  if (_compHeapSize < 2) {
    codeParm[_compHeap[1]] = 0;
    return _compHeap[1];
  }
  for (int i = _compHeapSize / 2; i >= 1; --i) CompDownHeap(i);
  _compSortPtr = codeParm;
  int k;
  do {
    const int i = _compHeap[1];
    if (i < _compN) *_compSortPtr++ = static_cast<uint16_t>(i);
    _compHeap[1] = _compHeap[_compHeapSize--];
    CompDownHeap(1);
    const int j = _compHeap[1];
    if (j < _compN) *_compSortPtr++ = static_cast<uint16_t>(j);
    k = avail++;
    _compFreq[k] = _compFreq[i] + _compFreq[j];
    _compHeap[1] = static_cast<int16_t>(k);
    CompDownHeap(1);
    _compLeft[k] = static_cast<uint16_t>(i);
    _compRight[k] = static_cast<uint16_t>(j);
  } while (_compHeapSize > 1);
  _compSortPtr = codeParm;
  CompMakeLen(k);
  CompMakeCode(nParm, lenParm, codeParm);
  return k;
}

// Number of C lengths without the trailing zeros.
int CountCLen() {
  int n = kNC;
  while (n > 0 && _compCLen[n - 1] == 0) --n;
  return n;
}

void CompCountTFreq() {
  for (int i = 0; i < kNT; ++i) _compTFreq[i] = 0;
  const int n = CountCLen();
  int i = 0;
  while (i < n) {
    const int k = _compCLen[i++];
    if (k == 0) {
      int count = 1;
      while (i < n && _compCLen[i] == 0) {
        ++i;
        ++count;
      }
      if (count <= 2) {
        _compTFreq[0] += static_cast<uint32_t>(count);
      } else if (count <= 18) {
        ++_compTFreq[1];
      } else if (count == 19) {
        ++_compTFreq[0];
        ++_compTFreq[1];
      } else {
        ++_compTFreq[2];
      }
    } else {
      ++_compTFreq[k + 2];
    }
  }
}

int CompWrPtLen(int n, int nBit, int iSpecial) {
  while (n > 0 && _compPtLen[n - 1] == 0) --n;
  if (!CompPutBits(nBit, static_cast<uint32_t>(n))) return 0;
  int i = 0;
  while (i < n) {
    const int k = _compPtLen[i++];
    const int ok = k <= 6 ? CompPutBits(3, static_cast<uint32_t>(k))
                          : CompPutBits(k - 3, (1u << (k - 3)) - 2);
    if (!ok) return 0;
    if (i == iSpecial) {
      while (i < 6 && _compPtLen[i] == 0) ++i;
      if (!CompPutBits(2, static_cast<uint32_t>(i - 3) & 3)) return 0;
    }
  }
  return 1;
}

inline int CompPutT(int symbol) { return CompPutBits(_compPtLen[symbol], _compPtCode[symbol]); }

int CompWrZeroRun(int count) {
  if (count <= 2) {
    for (int k = 0; k < count; ++k) {
      if (!CompPutT(0)) return 0;
    }
    return 1;
  }
  if (count <= 18) return CompPutT(1) && CompPutBits(4, static_cast<uint32_t>(count - 3));
  if (count == 19) return CompPutT(0) && CompPutT(1) && CompPutBits(4, 15);
  return CompPutT(2) && CompPutBits(kCBit, static_cast<uint32_t>(count - 20));
}

int CompWrCLen() {
  const int n = CountCLen();
  if (!CompPutBits(kCBit, static_cast<uint32_t>(n))) return 0;
  int i = 0;
  while (i < n) {
    const int k = _compCLen[i++];
    if (k == 0) {
      int count = 1;
      while (i < n && _compCLen[i] == 0) {
        ++i;
        ++count;
      }
      if (!CompWrZeroRun(count)) return 0;
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
  CodeBits() : bits_(_compSubBitBuf >> _compBitCount), count_(8 - _compBitCount) {}

  // Appends the low n bits of x (n from 0 to 16, no bits set above them).
  int Put(int n, uint32_t x) {
    bits_ = (bits_ << n) | x;
    count_ += n;
    return count_ < 32 || PutWord();
  }

  // Writes the remaining whole bytes and leaves the rest pending in the bit writer.
  int Finish() {
    while (count_ >= 8) {
      if (!CompPutByte(static_cast<uint32_t>(bits_ >> (count_ - 8)))) return 0;
      count_ -= 8;
    }
    _compBitCount = static_cast<int16_t>(8 - count_);
    _compSubBitBuf = static_cast<uint32_t>(bits_ << _compBitCount) & 0xFF;
    return 1;
  }

 private:
  int PutWord() {
    // Near the output limit the bytes go one at a time, so the stream stops
    // at the same byte as with CompPutBits (four whole bytes are pending).
    if (_compOrgSize - _compSize < 4) return Finish();
    const uint32_t word = static_cast<uint32_t>(bits_ >> (count_ - 32));
    uint8_t* out = _compOut + _compSize;
    out[0] = static_cast<uint8_t>(word >> 24);
    out[1] = static_cast<uint8_t>(word >> 16);
    out[2] = static_cast<uint8_t>(word >> 8);
    out[3] = static_cast<uint8_t>(word);
    _compSize += 4;
    count_ -= 32;
    return 1;
  }

  uint64_t bits_;  // pending bits, the last one lowest; at most 47 in use
  int count_;      // number of pending bits
};

inline int CompEncC(CodeBits& out, int symbol) { return out.Put(_compCLen[symbol], _compCCode[symbol]); }

// Number of significant bits of p: the position symbol of distance value p.
inline int BitLength(uint32_t p) { return static_cast<int>(std::bit_width(p)); }

inline int CompEncP(CodeBits& out, uint32_t p) {
  const int c = BitLength(p);
  if (!out.Put(_compPtLen[c], _compPtCode[c])) return 0;
  if (c > 1) return out.Put(c - 1, p & (0xFFFFu >> (17 - c)));
  return 1;
}

int CompWrTables(uint32_t& size) {
  int root = CompMakeTree(kNC, _compCFreq, _compCLen, _compCCode);
  size = _compCFreq[root];
  if (!CompPutBits(16, size)) return 0;
  if (root >= kNC) {
    CompCountTFreq();
    root = CompMakeTree(kNT, _compTFreq, _compPtLen, _compPtCode);
    const int ok = root >= kNT ? CompWrPtLen(kNT, kTBit, 3)
                               : CompPutBits(kTBit, 0) && CompPutBits(kTBit, static_cast<uint32_t>(root));
    if (!ok || !CompWrCLen()) return 0;
  } else if (!(CompPutBits(kTBit, 0) && CompPutBits(kTBit, 0) && CompPutBits(kCBit, 0) &&
               CompPutBits(kCBit, static_cast<uint32_t>(root)))) {
    return 0;
  }
  root = CompMakeTree(kNP, _compPFreq, _compPtLen, _compPtCode);
  if (root >= kNP) return CompWrPtLen(kNP, kPBit, -1);
  return CompPutBits(kPBit, 0) && CompPutBits(kPBit, static_cast<uint32_t>(root));
}

int CompSendBlock() {
  uint32_t size = 0;
  if (!CompWrTables(size)) return 0;
  CodeBits out;
  uint32_t pos = 0;
  uint32_t flags = 0;
  for (uint32_t i = 0; i < size; ++i) {
    if (i % 8 == 0) {
      flags = _compBuf[pos++];
    } else {
      flags <<= 1;
    }
    if (flags & 0x80) {
      if (!CompEncC(out, _compBuf[pos++] + 256)) return 0;
      uint32_t k = static_cast<uint32_t>(_compBuf[pos++]) << 8;
      k += _compBuf[pos++];
      if (!CompEncP(out, k)) return 0;
    } else if (!CompEncC(out, _compBuf[pos++])) {
      return 0;
    }
  }
  if (!out.Finish()) return 0;
  std::memset(_compCFreq, 0, sizeof(uint32_t) * kNC);
  std::memset(_compPFreq, 0, sizeof(uint32_t) * kNP);
  return 1;
}

int CompOutput(uint32_t c, uint32_t p) {
  if ((_compOutputMask >>= 1) == 0) {
    _compOutputMask = 0x80;
    if (_compOutputPos >= kBufSize - 24) {
      if (!CompSendBlock()) return 0;
      _compOutputPos = 0;
    }
    _compFlagPos = _compOutputPos++;
    _compBuf[_compFlagPos] = 0;
  }
  _compBuf[_compOutputPos++] = static_cast<uint8_t>(c);
  ++_compCFreq[c];
  if (c >= 256) {
    _compBuf[_compFlagPos] = static_cast<uint8_t>(_compBuf[_compFlagPos] | _compOutputMask);
    _compBuf[_compOutputPos++] = static_cast<uint8_t>(p >> 8);
    _compBuf[_compOutputPos++] = static_cast<uint8_t>(p);
    ++_compPFreq[BitLength(p)];
  }
  return 1;
}

}  // namespace

int CompressData(uint8_t* outBuf, const uint8_t* inBuf, uint32_t orgSize) {
  _compData = inBuf;
  _compReadPos = 0;
  _compOrgSize = orgSize;
  _compOut = outBuf;
  _compSize = 0;
  CompInit();

  _compRem = static_cast<int16_t>(CompGetData(&_compText[kDicSiz], kDicSiz + kMaxMatch));
  _compMatchLen = 0;
  _compPos = kDicSiz;
  CompInsNode();
  if (_compMatchLen > _compRem) _compMatchLen = _compRem;
  while (_compRem > 0) {
    const int lastMatchLen = _compMatchLen;
    const int lastMatchPos = _compMatchPos;
    CompGetNextMatch();
    if (_compMatchLen > _compRem) _compMatchLen = _compRem;
    int ok;
    if (_compMatchLen > lastMatchLen || lastMatchLen < kThreshold) {
      ok = CompOutput(_compText[_compPos - 1], 0);
    } else {
      ok = CompOutput(static_cast<uint32_t>(lastMatchLen + (256 - kThreshold)),
                      static_cast<uint32_t>((_compPos - lastMatchPos - 2) & (kDicSiz - 1)));
      for (int k = lastMatchLen - 1; k > 0; --k) CompGetNextMatch();
      if (_compMatchLen > _compRem) _compMatchLen = _compRem;
    }
    if (!ok) return 0;
  }
  if (!CompSendBlock()) return 0;
  return CompPutBits(7, 0);
}

}  // namespace encoder
