#include "core/IStateBuffer.h"

#include <cstring>

namespace plugkit {

namespace {

void StoreLE(uint8_t* out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

void StoreBE(uint8_t* out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(value >> (8 * (bytes - 1 - i)));
}

uint64_t LoadLE(const uint8_t* in, int bytes) {
  uint64_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= static_cast<uint64_t>(in[i]) << (8 * i);
  return value;
}

uint64_t LoadBE(const uint8_t* in, int bytes) {
  uint64_t value = 0;
  for (int i = 0; i < bytes; ++i) value = (value << 8) | in[i];
  return value;
}

uint32_t FloatBits(float f) { uint32_t u; std::memcpy(&u, &f, 4); return u; }
uint64_t DoubleBits(double d) { uint64_t u; std::memcpy(&u, &d, 8); return u; }
float BitsFloat(uint32_t u) { float f; std::memcpy(&f, &u, 4); return f; }
double BitsDouble(uint64_t u) { double d; std::memcpy(&d, &u, 8); return d; }

} // namespace

void IStateBuffer::Clear() { mBlock.SetSize(0, false); }

bool IStateBuffer::Resize(int32_t n) {
  if (n < 0 || n > mLimit) return false;
  const int32_t old = mBlock.Size();
  mBlock.SetSize(n, false);
  if (mBlock.Size() != n) return false;
  if (n > old) std::memset(mBlock.As<uint8_t>() + old, 0, static_cast<size_t>(n - old));
  return true;
}

bool IStateBuffer::Assign(const void* data, int32_t n) {
  if (n < 0 || (n > 0 && !data) || n > mLimit) return false;
  if (n == 0) { Clear(); return true; }
  // Copy through the block only after it has the room, so a failure keeps the
  // old contents and a source inside this buffer stays readable.
  const uint8_t* src = static_cast<const uint8_t*>(data);
  const uint8_t* own = Bytes();
  const bool inside = own && src >= own && src < own + mBlock.Size();
  const int32_t offset = inside ? static_cast<int32_t>(src - own) : 0;
  if (n > mBlock.Size()) {
    mBlock.SetSize(n, false);
    if (mBlock.Size() != n) return false;
    if (inside) src = mBlock.As<uint8_t>() + offset;
  }
  std::memmove(mBlock.As<uint8_t>(), src, static_cast<size_t>(n));
  mBlock.SetSize(n, false);
  return true;
}

bool IStateBuffer::Append(const void* data, int32_t n) {
  if (n < 0 || (n > 0 && !data)) return false;
  if (n == 0) return true;
  const int32_t old = mBlock.Size();
  const int64_t wanted = static_cast<int64_t>(old) + n;
  if (wanted > mLimit) return false;
  const uint8_t* src = static_cast<const uint8_t*>(data);
  const uint8_t* own = Bytes();
  const bool inside = own && src >= own && src < own + old;
  const int64_t offset = inside ? src - own : 0;
  mBlock.SetSize(static_cast<int32_t>(wanted), false);
  if (mBlock.Size() != wanted) return false;
  if (inside) src = mBlock.As<uint8_t>() + offset;
  std::memmove(mBlock.As<uint8_t>() + old, src, static_cast<size_t>(n));
  return true;
}

bool IStateBuffer::AppendUInt8(uint8_t value) { return Append(&value, 1); }

bool IStateBuffer::AppendInt32(int32_t value) {
  uint8_t bytes[4];
  StoreLE(bytes, static_cast<uint32_t>(value), 4);
  return Append(bytes, 4);
}

bool IStateBuffer::AppendFloat32(float value) {
  uint8_t bytes[4];
  StoreLE(bytes, FloatBits(value), 4);
  return Append(bytes, 4);
}

bool IStateBuffer::AppendFloat64(double value) {
  uint8_t bytes[8];
  StoreLE(bytes, DoubleBits(value), 8);
  return Append(bytes, 8);
}

bool IStateBuffer::AppendInt32BE(int32_t value) {
  uint8_t bytes[4];
  StoreBE(bytes, static_cast<uint32_t>(value), 4);
  return Append(bytes, 4);
}

bool IStateBuffer::AppendFloat32BE(float value) {
  uint8_t bytes[4];
  StoreBE(bytes, FloatBits(value), 4);
  return Append(bytes, 4);
}

bool IStateBuffer::Holds(int32_t position, int32_t n) const {
  return position >= 0 && n >= 0 && static_cast<int64_t>(position) + n <= mBlock.Size();
}

int32_t IStateBuffer::ReadBytes(int32_t position, void* out, int32_t n) const {
  if (!Holds(position, n) || (n > 0 && !out)) return -1;
  if (n > 0) std::memcpy(out, mBlock.As<uint8_t>() + position, static_cast<size_t>(n));
  return position + n;
}

int32_t IStateBuffer::ReadUInt8(int32_t position, uint8_t* out) const {
  *out = 0;
  return ReadBytes(position, out, 1);
}

int32_t IStateBuffer::ReadInt32(int32_t position, int32_t* out) const {
  *out = 0;
  if (!Holds(position, 4)) return -1;
  *out = static_cast<int32_t>(static_cast<uint32_t>(LoadLE(mBlock.As<uint8_t>() + position, 4)));
  return position + 4;
}

int32_t IStateBuffer::ReadFloat32(int32_t position, float* out) const {
  *out = 0.0f;
  if (!Holds(position, 4)) return -1;
  *out = BitsFloat(static_cast<uint32_t>(LoadLE(mBlock.As<uint8_t>() + position, 4)));
  return position + 4;
}

int32_t IStateBuffer::ReadFloat64(int32_t position, double* out) const {
  *out = 0.0;
  if (!Holds(position, 8)) return -1;
  *out = BitsDouble(LoadLE(mBlock.As<uint8_t>() + position, 8));
  return position + 8;
}

int32_t IStateBuffer::ReadInt32BE(int32_t position, int32_t* out) const {
  *out = 0;
  if (!Holds(position, 4)) return -1;
  *out = static_cast<int32_t>(static_cast<uint32_t>(LoadBE(mBlock.As<uint8_t>() + position, 4)));
  return position + 4;
}

int32_t IStateBuffer::ReadFloat32BE(int32_t position, float* out) const {
  *out = 0.0f;
  if (!Holds(position, 4)) return -1;
  *out = BitsFloat(static_cast<uint32_t>(LoadBE(mBlock.As<uint8_t>() + position, 4)));
  return position + 4;
}

} // namespace plugkit
