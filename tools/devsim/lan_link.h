#pragma once
// The simulator's devices on the LAN configuration datagrams: a LanResponder
// plays each device there, and every change it applies goes to the
// simulator, so that the next discovery reports it. The other way round,
// what changes in the simulator (a factory reset, a new administrator
// password, a restart) reaches the responder's copy of the device.

#include <string>

#include "tools/devsim/simulator.h"
#include "tools/lanresponder/lan_responder.h"

namespace devsim {

class LanLink {
 public:
  LanLink(Simulator& simulator, lanresponder::ResponderEndpoints endpoints);
  ~LanLink();
  // Before the simulator runs: takes its devices, installs the observer and
  // starts the responder. False with the reason when it cannot listen.
  bool Start(std::string& error);
  uint16_t port() const { return responder_.ListenPort(); }
  const lanresponder::ResponderEndpoints& endpoints() const { return endpoints_; }
  lanresponder::LanResponder& responder() { return responder_; }

 private:
  void Update(const DeviceSnapshot& device);

  Simulator& simulator_;
  lanresponder::ResponderEndpoints endpoints_;
  lanresponder::LanResponder responder_;
};

}  // namespace devsim
