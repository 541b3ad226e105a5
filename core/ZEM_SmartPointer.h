#pragma once
// Typed smart pointers of framework objects. Each holds one reference; a
// pointer of one class converts to a pointer of another when the held object
// IsKindOf the target class's name, and is empty otherwise.
//
// The names follow the framework's classes: ZEM_BaseUnknown_ptr holds a
// ZEM_BaseUnknown, ZEM_UIComponent_ptr a ZEM_UIComponent, and so on
// (ZEM_DECLARE_POINTER).
#include <type_traits>
#include <utility>

#include "core/ZEM_BaseUnknown.h"

// The object when it IsKindOf `className`, else null (out of line, so that the
// compiler does not reason about casts the name test rules out).
ZEM_BaseUnknown* ZEM_KindOrNull(ZEM_BaseUnknown* object, const char* className);

class ZEM_SmartPointerBase {
 public:
  virtual ~ZEM_SmartPointerBase() = default;
  // The held object's class name; "" when empty.
  virtual const char* GetClassName() const = 0;
  // The held object's answer; false when empty.
  virtual bool IsKindOf(const char* name) const = 0;
};

template <class T>
class ZEM_SmartPointer : public ZEM_SmartPointerBase {
  static_assert(std::is_base_of_v<ZEM_BaseUnknown, T>, "framework objects derive from ZEM_BaseUnknown");

 public:
  ZEM_SmartPointer() = default;
  // Takes a reference of its own: the caller keeps the reference it has.
  explicit ZEM_SmartPointer(T* object) : m_object(object) {
    if (m_object) m_object->AddRef();
  }
  // Takes over the creator's reference of a new object without adding one.
  static ZEM_SmartPointer Adopt(T* object) {
    ZEM_SmartPointer p;
    p.m_object = object;
    return p;
  }

  ZEM_SmartPointer(const ZEM_SmartPointer& other) : m_object(other.m_object) {
    if (m_object) m_object->AddRef();
  }
  ZEM_SmartPointer(ZEM_SmartPointer&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
  template <class U>
  ZEM_SmartPointer(const ZEM_SmartPointer<U>& other) : m_object(Cast(other.Get())) {
    if (m_object) m_object->AddRef();
  }

  ~ZEM_SmartPointer() override { Reset(); }

  // The new object is taken before the old one is let go, so that assigning a
  // pointer to itself, or two pointers to the same object, keeps the object.
  ZEM_SmartPointer& operator=(const ZEM_SmartPointer& other) {
    Hold(other.m_object);
    return *this;
  }
  ZEM_SmartPointer& operator=(ZEM_SmartPointer&& other) noexcept {
    if (this != &other) {
      T* old = std::exchange(m_object, std::exchange(other.m_object, nullptr));
      if (old) old->Release();
    }
    return *this;
  }
  // From a pointer of another class: holds the object when it is of this
  // class, and becomes empty otherwise.
  template <class U>
  ZEM_SmartPointer& operator=(const ZEM_SmartPointer<U>& other) {
    Hold(Cast(other.Get()));
    return *this;
  }

  void Reset() {
    if (T* old = std::exchange(m_object, nullptr)) old->Release();
  }

  const char* GetClassName() const override { return m_object ? m_object->GetClassName() : ""; }
  bool IsKindOf(const char* name) const override { return m_object ? m_object->IsKindOf(name) : false; }

  T* Get() const { return m_object; }
  T* operator->() const { return m_object; }
  T& operator*() const { return *m_object; }
  explicit operator bool() const { return m_object != nullptr; }
  template <class U>
  bool operator==(const ZEM_SmartPointer<U>& other) const {
    return static_cast<const ZEM_BaseUnknown*>(m_object) == static_cast<const ZEM_BaseUnknown*>(other.Get());
  }

 private:
  // The object as a T when it says it is one; the framework's classes derive
  // from ZEM_BaseUnknown along a single line, so the cast goes through it.
  template <class U>
  static T* Cast(U* object) {
    ZEM_BaseUnknown* kind = ZEM_KindOrNull(object, T::kClassName);
    return kind ? static_cast<T*>(kind) : nullptr;
  }

  void Hold(T* object) {
    if (object) object->AddRef();
    T* old = std::exchange(m_object, object);
    if (old) old->Release();
  }

  T* m_object = nullptr;
};

#define ZEM_DECLARE_POINTER(Class) using Class##_ptr = ZEM_SmartPointer<Class>

ZEM_DECLARE_POINTER(ZEM_BaseUnknown);
