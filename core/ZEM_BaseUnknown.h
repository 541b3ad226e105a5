#pragma once
// The root of every shared framework object: an intrusive reference count and
// a type test by class name.
//
// Every constructor sets the count to 1: the creator holds the first reference
// and gives it up with Release. A class reports its own name through
// GetClassName and answers IsKindOf for its own name and the names of all its
// bases; ZEM_DECLARE_CLASS writes both for a class.
#include <cstring>

class ZEM_BaseUnknown {
 public:
  static constexpr const char kClassName[] = "ZEM_BaseUnknown";

  ZEM_BaseUnknown() = default;
  // A copy is a new object: it starts with its own creator reference.
  ZEM_BaseUnknown(const ZEM_BaseUnknown&) : m_refCount(1) {}
  ZEM_BaseUnknown& operator=(const ZEM_BaseUnknown&) { return *this; }

  virtual const char* GetClassName() const { return kClassName; }
  virtual bool IsKindOf(const char* name) const { return name != nullptr && std::strcmp(name, kClassName) == 0; }
  virtual ~ZEM_BaseUnknown() = default;

  virtual int AddRef() { return ++m_refCount; }
  // Deletes the object when the last reference goes; answers the new count.
  virtual int Release() {
    const int count = --m_refCount;
    if (count == 0) delete this;
    return count;
  }

  virtual bool IsSame(const ZEM_BaseUnknown* other) const { return other == this; }
  virtual bool IsNotSame(const ZEM_BaseUnknown* other) const { return !IsSame(other); }
  virtual bool IsEqual(const ZEM_BaseUnknown* other) const { return false; }
  virtual bool IsNotEqual(const ZEM_BaseUnknown* other) const { return !IsEqual(other); }

  // True in objects that hold and serve other objects (the event handlers).
  virtual bool IsServingContainer() const { return false; }
  // True in every component that is bound to a window (controls, dialogs).
  virtual bool IsWindowBound() const { return false; }
  // Lets go of the references the object holds to others (subscription lists).
  virtual void ClearReferences() {}

  int RefCount() const { return m_refCount; }

 private:
  int m_refCount = 1;
};

// Declares the class-name chain of a framework class with a single framework
// base: GetClassName gives the class's own name, IsKindOf compares that name
// first and then asks the base, down to ZEM_BaseUnknown.
#define ZEM_DECLARE_CLASS(Class, Base)                                                      \
 public:                                                                                    \
  static constexpr const char kClassName[] = #Class;                                        \
  const char* GetClassName() const override { return kClassName; }                          \
  bool IsKindOf(const char* name) const override {                                          \
    return (name != nullptr && std::strcmp(name, kClassName) == 0) || Base::IsKindOf(name); \
  }
