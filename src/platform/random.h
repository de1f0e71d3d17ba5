// The random-number seam.
#pragma once

namespace parupo {

class Random {
 public:
  virtual ~Random() = default;
  virtual void seedFromClock() = 0;
  virtual int uniformInt(int low, int high) = 0;  // low..high, both included
  virtual double unit() = 0;                      // 0 <= r < 1
};

class SystemRandom final : public Random {
 public:
  SystemRandom();
  void seedFromClock() override;
  int uniformInt(int low, int high) override;
  double unit() override;

 private:
  unsigned long long state_;
};

}  // namespace parupo
