#include "generate.hpp"
namespace gg {
void generateSounds(const std::filesystem::path&) {}
}
