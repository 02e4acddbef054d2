// A texture the device created from a picture file; shared by every model that names the file.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace gfx {

class Texture {
  public:
    Texture(std::uint64_t deviceId, std::string path, int width, int height)
        : deviceId_(deviceId), path_(std::move(path)), width_(width), height_(height)
    {
    }
    virtual ~Texture() = default;
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // The device that made it; another device ignores it.
    std::uint64_t DeviceId() const { return deviceId_; }
    const std::string& Path() const { return path_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

  private:
    std::uint64_t deviceId_;
    std::string path_;
    int width_;
    int height_;
};

using TextureHandle = std::shared_ptr<const Texture>;

// What makes two loads the same file: its canonical path, size and modification time. Nothing
// when path is not an existing regular file.
std::optional<std::string> TextureFileKey(const std::string& path);

} // namespace gfx
