#pragma once
// The geometry library's growable array: counts are int, elements are
// addressed with operator[] and the whole array with Array().
#include <cassert>
#include <vector>

template <class T>
class ON_SimpleArray {
 public:
  ON_SimpleArray() = default;
  explicit ON_SimpleArray(int capacity) { m_a.reserve(capacity > 0 ? static_cast<std::size_t>(capacity) : 0); }

  int Count() const { return static_cast<int>(m_a.size()); }
  int Capacity() const { return static_cast<int>(m_a.capacity()); }
  T* Array() { return m_a.empty() ? nullptr : m_a.data(); }
  const T* Array() const { return m_a.empty() ? nullptr : m_a.data(); }
  operator T*() { return Array(); }
  operator const T*() const { return Array(); }

  T& operator[](int i) {
    assert(i >= 0 && i < Count());
    return m_a[static_cast<std::size_t>(i)];
  }
  const T& operator[](int i) const {
    assert(i >= 0 && i < Count());
    return m_a[static_cast<std::size_t>(i)];
  }
  T* At(int i) { return i >= 0 && i < Count() ? &m_a[static_cast<std::size_t>(i)] : nullptr; }
  const T* At(int i) const { return i >= 0 && i < Count() ? &m_a[static_cast<std::size_t>(i)] : nullptr; }
  T& AppendNew() { return m_a.emplace_back(); }
  void Append(const T& x) { m_a.push_back(x); }
  void Append(int count, const T* p) {
    if (count > 0 && p) m_a.insert(m_a.end(), p, p + count);
  }
  void Reserve(int capacity) {
    if (capacity > 0) m_a.reserve(static_cast<std::size_t>(capacity));
  }
  void SetCount(int count) { m_a.resize(count > 0 ? static_cast<std::size_t>(count) : 0); }
  void SetCapacity(int capacity) { Reserve(capacity); }
  void Remove(int i) {
    if (i >= 0 && i < Count()) m_a.erase(m_a.begin() + i);
  }
  void Empty() { m_a.clear(); }
  void Destroy() {
    m_a.clear();
    m_a.shrink_to_fit();
  }

  auto begin() { return m_a.begin(); }
  auto end() { return m_a.end(); }
  auto begin() const { return m_a.begin(); }
  auto end() const { return m_a.end(); }

 private:
  std::vector<T> m_a;
};

// Arrays of objects with constructors and destructors behave alike here.
template <class T>
using ON_ClassArray = ON_SimpleArray<T>;
template <class T>
using ON_ObjectArray = ON_SimpleArray<T>;
