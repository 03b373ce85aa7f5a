// Resources of Windows program files (PE): finding a named resource, and the big stream over one.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/file_system.h"
#include "vfs/big_stream.h"

namespace kivo {

struct TPeResourceSpan {
  int64_t offset = 0;  // in the file
  int64_t size = 0;
};

// The bytes of the resource of that name and type (names compare ignoring ASCII case; "#123"
// names a numbered one), the first language found. None when the file is no PE program or has no
// such resource; a malformed resource directory is treated as having none.
std::optional<TPeResourceSpan> FindPeResource(const std::string& path, const std::string& name,
                                              const std::string& type);

// A read-only big stream over one program resource; it keeps the module, name and type so that
// windows onto it can open the same resource again. A missing resource reads as empty.
class TTpBigResourceStream : public TTpBigStream {
public:
  TTpBigResourceStream(const std::string& modulePath, const std::string& resourceName, const std::string& resourceType);

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Size() override { return span_.size; }

  const std::string& ModulePath() const { return modulePath_; }
  const std::string& ResourceName() const { return resourceName_; }
  const std::string& ResourceType() const { return resourceType_; }

private:
  std::string modulePath_, resourceName_, resourceType_;
  std::unique_ptr<TFileHandle> file_;
  TPeResourceSpan span_;
  int64_t position_ = 0;
};

}  // namespace kivo
