#pragma once

#include <ostream>
#include <set>
#include <string>

namespace korvane {

// The headless host's record of visible effects: one event a line, written
// and flushed at once so a watcher sees it live. Kinds (the first word of a
// line) can be muted to keep long runs readable.
class Transcript {
  public:
    explicit Transcript(std::ostream& out) : out_(out) {}

    void Write(const std::string& line);
    void Mute(const std::string& kind) { muted_.insert(kind); }
    void Unmute(const std::string& kind) { muted_.erase(kind); }
    bool Muted(const std::string& kind) const { return muted_.count(kind) != 0; }

  private:
    std::ostream& out_;
    std::set<std::string> muted_;
};

}  // namespace korvane
