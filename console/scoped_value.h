// Sets a process-wide value for the length of a scope and puts the old one
// back on every way out, the end of the program unwinding through it
// included.
#ifndef TALONIX_CONSOLE_SCOPED_VALUE_H_
#define TALONIX_CONSOLE_SCOPED_VALUE_H_

#include <utility>

template <typename T>
class ScopedValue {
 public:
  // Keeps the current value, to be restored at the end of the scope.
  explicit ScopedValue(T& target) : target_(target), saved_(target) {}
  ScopedValue(T& target, T value) : target_(target), saved_(target) {
    target_ = std::move(value);
  }
  ~ScopedValue() { target_ = saved_; }
  ScopedValue(const ScopedValue&) = delete;
  ScopedValue& operator=(const ScopedValue&) = delete;

 private:
  T& target_;
  T saved_;
};

#endif  // TALONIX_CONSOLE_SCOPED_VALUE_H_
