// One owner for each handle, interface and block: given back when the owner
// goes, also on every early return.
#pragma once

template <typename T, void (*release)(T*)>
class Owned {
public:
  Owned() = default;
  ~Owned() {
    if (p_) release(p_);
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  T** out() { return &p_; }
  T* get() const { return p_; }
  T* operator->() const { return p_; }

private:
  T* p_ = nullptr;
};

template <typename T>
void ReleaseInterface(T* p) {
  p->Release();
}

template <typename T>
using ComRef = Owned<T, ReleaseInterface<T>>;

template <typename T>
void** Out(ComRef<T>* ref) {
  return reinterpret_cast<void**>(ref->out());
}
