// Walks the type libraries of the modules named on the command line and
// lists every library, type and member (method, property, event) that
// carries no help string (what an object browser or a script editor shows
// beside it). Exit status 0 when there is none, 1 otherwise, 2 when a
// library cannot be loaded.
//
// With --members it also prints every member as the platform's type
// library loader reads it, one line each: "member", the type, the member
// and its help string, separated by tabs. The release check compares that
// with the member reference of the archive's README.
//
// A module is named by its path (Unix paths are taken as Wine's Z: drive),
// optionally followed by "\<n>" for its type library resource n.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "core/Bstr.h"
#include "com/ComPtr.h"
#include "com/TypeDescriptions.h"

using formsrt::Bstr;
using formsrt::ComPtr;

namespace {

std::wstring WindowsPath(const char* argument) {
  std::wstring path(argument, argument + std::strlen(argument));
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

class HelpStringWalk {
 public:
  HelpStringWalk(std::wstring module, bool listMembers)
      : module_(std::move(module)), listMembers_(listMembers) {}

  int missing() const { return missing_; }

  void CheckLibrary(ITypeLib* library) {
    Bstr name, help;
    library->GetDocumentation(-1, name.Put(), help.Put(), nullptr, nullptr);
    Require(help, name, L"");
    for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
      ComPtr<ITypeInfo> type;
      if (FAILED(library->GetTypeInfo(i, type.Put()))) continue;
      CheckType(InterfaceHalf(type));
    }
  }

 private:
  // A dual interface lists IDispatch's members in its dispatch half; its own
  // members are those of its interface half.
  static ComPtr<ITypeInfo> InterfaceHalf(const ComPtr<ITypeInfo>& type) {
    formsrt::TypeAttributes attributes(type.Get());
    if (!attributes) return type;
    bool dual = attributes->typekind == TKIND_DISPATCH && (attributes->wTypeFlags & TYPEFLAG_FDUAL);
    HREFTYPE reference = 0;
    ComPtr<ITypeInfo> half;
    if (dual && SUCCEEDED(type->GetRefTypeOfImplType(-1, &reference)) &&
        SUCCEEDED(type->GetRefTypeInfo(reference, half.Put()))) {
      return half;
    }
    return type;
  }

  void CheckType(const ComPtr<ITypeInfo>& type) {
    Bstr typeName, help;
    type->GetDocumentation(MEMBERID_NIL, typeName.Put(), help.Put(), nullptr, nullptr);
    Require(help, typeName, L"");
    formsrt::TypeAttributes attributes(type.Get());
    if (!attributes) return;
    WORD functions = attributes->cFuncs;
    // widl takes no help string on an enumeration's constants; the
    // enumeration itself carries one.
    WORD variables = attributes->typekind == TKIND_ENUM ? 0 : attributes->cVars;
    for (WORD i = 0; i < functions; ++i) {
      formsrt::FunctionDescription function(type.Get(), i);
      if (function) CheckMember(type, function->memid, typeName);
    }
    for (WORD i = 0; i < variables; ++i) {
      formsrt::VariableDescription variable(type.Get(), i);
      if (variable) CheckMember(type, variable->memid, typeName);
    }
  }

  void CheckMember(const ComPtr<ITypeInfo>& type, MEMBERID member, const Bstr& typeName) {
    Bstr name, help;
    type->GetDocumentation(member, name.Put(), help.Put(), nullptr, nullptr);
    if (listMembers_) {
      std::printf("member\t%ls\t%ls\t%ls\n", typeName.Str().c_str(), name.Str().c_str(),
                  help.Str().c_str());
    }
    Require(help, typeName, name.Str());
  }

  void Require(const Bstr& help, const Bstr& name, const std::wstring& member) {
    if (help.Length() != 0) return;
    ++missing_;
    std::wstring where = member.empty() ? name.Str() : name.Str() + L"." + member;
    std::printf("%ls: %ls has no help string\n", module_.c_str(), where.c_str());
  }

  std::wstring module_;
  bool listMembers_;
  int missing_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  bool listMembers = argc > 1 && std::strcmp(argv[1], "--members") == 0;
  int first = listMembers ? 2 : 1;
  if (argc <= first) {
    std::printf("usage: HelpStringCheck [--members] <module>[\\<n>] ...\n");
    return 2;
  }
  int missing = 0;
  for (int i = first; i < argc; ++i) {
    std::wstring module = WindowsPath(argv[i]);
    ComPtr<ITypeLib> library;
    HRESULT hr = ::LoadTypeLibEx(module.c_str(), REGKIND_NONE, library.Put());
    if (FAILED(hr)) {
      std::printf("%ls: no type library (0x%08lX)\n", module.c_str(), static_cast<unsigned long>(hr));
      return 2;
    }
    HelpStringWalk walk(module, listMembers);
    walk.CheckLibrary(library.Get());
    std::printf("%ls: %d missing\n", module.c_str(), walk.missing());
    missing += walk.missing();
  }
  return missing == 0 ? 0 : 1;
}
