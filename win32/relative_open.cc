#include "win32/relative_open.h"

namespace veltrix {

Win32Result<UniqueKernelHandle> OpenRelative(HANDLE folder, std::wstring_view name,
                                             const RelativeOpen& open) {
  UNICODE_STRING objectName{};
  objectName.Buffer = const_cast<wchar_t*>(name.data());
  objectName.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  objectName.MaximumLength = objectName.Length;
  OBJECT_ATTRIBUTES attributes{};
  InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, folder,
                             open.descriptor);
  IO_STATUS_BLOCK io{};
  HANDLE handle = nullptr;
  const NTSTATUS status =
      ::NtCreateFile(&handle, open.access, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL,
                     open.share, open.disposition, open.options, nullptr, 0);
  // Failures are negative; warnings and information are not.
  if (status < 0) return Win32Error(::RtlNtStatusToDosError(status));
  return UniqueKernelHandle(handle);
}

}  // namespace veltrix
