#pragma once
#include <span>
#include "model/model.h"
namespace quorrel {
struct OldDemo { const char* file_name; void (*build)(Model& m); };
std::span<const OldDemo> basic_demos();
std::span<const OldDemo> mechanism_demos();
std::span<const OldDemo> motion_demos();
std::span<const OldDemo> field_demos();
std::span<const OldDemo> linked_demos();
}
