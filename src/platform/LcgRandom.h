#pragma once

#include "platform/Random.h"

namespace korvane {

// The classic linear congruential generator with 15-bit results. Both
// backends use it; only where the seed comes from differs.
class LcgRandom : public Random {
  public:
    void Seed(unsigned seed) override { state_ = seed; }
    int Next() override {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7fff);
    }

  private:
    unsigned state_ = 1;
};

}  // namespace korvane
