#pragma once

namespace korvane {

// The pseudo-random generator the login seeds with the time. Next() yields
// 0..32767 like the C library the service's clients were written against, so
// picks and session keys have the same ranges everywhere.
class Random {
  public:
    virtual ~Random() = default;
    virtual void Seed(unsigned seed) = 0;
    virtual int Next() = 0;
};

}  // namespace korvane
