#pragma once
// The parser library's utilities: the one way it reports errors (the class
// library's general exception, with a message formatted from a fixed text),
// methods bound to the object they run on, freeing helpers, and the start-up
// counters that let a unit be started and stopped any number of times.
#include "Exception.h"
#include "Lists.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace tvk {

// ---- Formatting

// One argument of a format: a number or a text.
class TFormatArg {
public:
  TFormatArg(std::int64_t value) : FValue(value) {}
  TFormatArg(int value) : FValue(std::int64_t(value)) {}
  TFormatArg(WideString text) : FValue(std::move(text)) {}
  TFormatArg(const wchar_t* text) : FValue(WideString(text)) {}
  TFormatArg(std::wstring_view text) : FValue(WideString(text)) {}
  const std::variant<std::int64_t, WideString>& Value() const { return FValue; }

private:
  std::variant<std::int64_t, WideString> FValue;
};

// Format with "%s" (a text), "%d" (a number; either letter case) and "%%",
// the arguments taken in order. A directive without a fitting argument raises.
WideString FormatString(std::wstring_view format, std::span<const TFormatArg> args);
inline WideString FormatString(std::wstring_view format, std::initializer_list<TFormatArg> args) {
  return FormatString(format, std::span<const TFormatArg>(args.begin(), args.size()));
}

// The library's hook for localising its messages: the text unchanged.
inline WideString ResourceText(std::wstring_view text) { return WideString(text); }

// ---- Raising errors: the general exception of the class library.

[[noreturn]] void RaiseError(std::wstring_view message);
[[noreturn]] void RaiseErrorFmt(std::wstring_view format, std::initializer_list<TFormatArg> args);

// ---- Methods bound to an object

template <class M>
struct TMethodTraits;
template <class C, class R, class... A>
struct TMethodTraits<R (C::*)(A...)> {
  using Class = C;
};

// A method of an object derived from TObject, kept with that object. Two are
// equal when both the code and the object are the same.
template <class Sig>
class TMethod;

template <class R, class... A>
class TMethod<R(A...)> {
public:
  TMethod() = default;

  // TMethod<...>::Bind<&TListener::Heard>(listener)
  template <auto Method>
  static TMethod Bind(typename TMethodTraits<decltype(Method)>::Class* object) {
    using C = typename TMethodTraits<decltype(Method)>::Class;
    static_assert(std::is_base_of_v<TObject, C>, "a bound method's object is a TObject");
    TMethod m;
    m.FCode = &Thunk<Method, C>;
    m.FData = object;
    return m;
  }

  explicit operator bool() const noexcept { return FCode != nullptr; }
  R operator()(A... args) const { return FCode(FData, std::forward<A>(args)...); }
  // The object the method runs on.
  TObject* Data() const noexcept { return FData; }
  friend bool operator==(const TMethod&, const TMethod&) = default;

private:
  template <auto Method, class C>
  static R Thunk(TObject* data, A... args) {
    return (static_cast<C*>(data)->*Method)(std::forward<A>(args)...);
  }

  R (*FCode)(TObject*, A...) = nullptr;
  TObject* FData = nullptr;
};

template <class Sig>
bool MethodsEqual(const TMethod<Sig>& a, const TMethod<Sig>& b) {
  return a == b;
}

// ---- Freeing

template <class T>
void FreeAndNil(T*& object) {
  T* p = object;
  object = nullptr;
  delete p;
}

// Frees every object of List (taking the one at index 0 each time, out of the
// list before it is freed), then the list, and clears the variable.
void FreeListWithObjects(TList*& list);

// ---- Delimited text: items joined by a delimiter, quoted where they need it

// Step(Text, Pos) gives the position after the character at Pos (a
// double-byte character of a code page is one character, never split).
template <class Char>
bool IsDelimitedBlank(Char c) {
  return c >= Char(1) && c <= Char(32);
}

// S between Quote characters, each Quote inside doubled.
template <class Char, class Step>
std::basic_string<Char> QuotedText(std::basic_string_view<Char> s, Char quote, Step step) {
  std::basic_string<Char> result(1, quote);
  for (std::size_t pos = 0; pos < s.size();) {
    std::size_t next = step(s, pos);
    result.append(s.substr(pos, next - pos));
    if (next - pos == 1 && s[pos] == quote) result += quote;
    pos = next;
  }
  return result += quote;
}

// The items joined by Delimiter; an item is quoted when it holds Quote,
// Delimiter or (unless Strict) a character from 1 to 32. A
// single empty item gives two quote characters.
template <class Char, class Get, class Step>
std::basic_string<Char> JoinDelimitedText(int count, Get get, Char delimiter, Char quote, bool strict, Step step) {
  std::basic_string<Char> result;
  if (count == 1 && std::basic_string<Char>(get(0)).empty()) return std::basic_string<Char>(2, quote);
  for (int i = 0; i < count; ++i) {
    std::basic_string<Char> item(get(i));
    std::basic_string_view<Char> view(item);
    bool quoted = false;
    for (std::size_t pos = 0; pos < view.size(); pos = step(view, pos)) {
      Char c = view[pos];
      if (c == quote || c == delimiter || (!strict && IsDelimitedBlank(c))) {
        quoted = true;
        break;
      }
    }
    if (i > 0) result += delimiter;
    result += quoted ? QuotedText(view, quote, step) : item;
  }
  return result;
}

// The items of a delimited text. Unless Strict, characters from 1 to 32 around items are skipped and end an
// unquoted item. A quoted item has doubled quotes for one. A delimiter that is
// the text's last character adds an empty item.
template <class Char, class Step>
std::vector<std::basic_string<Char>> SplitDelimitedText(std::basic_string_view<Char> text, Char delimiter, Char quote,
                                                        bool strict, Step step) {
  const std::size_t n = text.size();
  std::vector<std::basic_string<Char>> items;
  std::size_t pos = 0;
  auto skipBlanks = [&] {
    if (!strict)
      while (pos < n && IsDelimitedBlank(text[pos])) ++pos;
  };
  skipBlanks();
  while (pos < n) {
    std::basic_string<Char> item;
    if (text[pos] == quote) {
      ++pos;
      while (pos < n) {
        if (text[pos] == quote) {
          if (pos + 1 < n && text[pos + 1] == quote) {
            item += quote;
            pos += 2;
            continue;
          }
          ++pos;
          break;
        }
        std::size_t next = step(text, pos);
        item.append(text.substr(pos, next - pos));
        pos = next;
      }
    } else {
      std::size_t start = pos;
      while (pos < n && text[pos] != delimiter && (strict || !IsDelimitedBlank(text[pos]))) pos = step(text, pos);
      item.assign(text.substr(start, pos - start));
    }
    items.push_back(std::move(item));
    skipBlanks();
    if (pos < n && text[pos] == delimiter) {
      if (pos + 1 == n) items.emplace_back();
      ++pos;
      skipBlanks();
    }
  }
  return items;
}

// Wide text has no double-byte characters.
inline std::size_t NextWideChar(std::wstring_view, std::size_t pos) { return pos + 1; }

// ---- Start-up counting

// A unit's work runs at its first start and at its last stop, however often
// it is started and stopped in between.
class TStartupCounter {
public:
  template <class F>
  bool Start(F&& work) {
    if (FCount++ > 0) return true;
    try {
      if (work()) return true;
    } catch (...) {
      FCount = 0;
      throw;
    }
    FCount = 0;
    return false;
  }
  template <class F>
  void Stop(F&& work) {
    if (FCount > 0 && --FCount == 0) work();
  }
  int Count() const { return FCount; }

private:
  int FCount = 0;
};

}  // namespace tvk
