#include "tools/devsim/lan_link.h"

namespace devsim {
namespace {

lanresponder::DeviceNetwork ToLan(const NetworkSettings& n) {
  lanresponder::DeviceNetwork out;
  out.ip = n.ip;
  out.netmask = n.netmask;
  out.gateway = n.gateway;
  out.dns1 = n.dns1;
  out.dns2 = n.dns2;
  out.dhcpMode = n.dhcpMode;
  return out;
}

NetworkSettings FromLan(const lanresponder::DeviceNetwork& n) {
  return {n.ip, n.netmask, n.gateway, n.dns1, n.dns2, n.dhcpMode};
}

lanresponder::SimulatedDevice ToLan(const DeviceSnapshot& d) {
  lanresponder::SimulatedDevice out;
  out.mac = d.mac;
  out.network = ToLan(d.network);
  out.capabilities = d.capabilities;
  out.adminPassword = d.adminPassword;
  out.misbehaviour.silent = !d.up;  // a restarting device hears nothing
  return out;
}

}  // namespace

LanLink::LanLink(Simulator& simulator, lanresponder::ResponderEndpoints endpoints)
    : simulator_(simulator), endpoints_(endpoints), responder_(endpoints) {}

LanLink::~LanLink() {
  responder_.Stop();
  simulator_.SetDeviceObserver(nullptr);
}

bool LanLink::Start(std::string& error) {
  for (const auto& d : simulator_.Snapshot()) {
    if (!responder_.AddDevice(ToLan(d))) {
      error = "the LAN side cannot play " + d.mac;
      return false;
    }
  }
  responder_.SetChangeHook([this](const lanresponder::NetworkChange& change) {
    simulator_.ApplyNetworkChange(change.mac, FromLan(change.after));
  });
  simulator_.SetDeviceObserver([this](const DeviceSnapshot& d) { Update(d); });
  if (!responder_.Start(&error)) {
    error = "cannot answer the LAN datagrams on " + endpoints_.bindIp + ":" + std::to_string(endpoints_.listenPort) +
            ": " + error;
    return false;
  }
  return true;
}

void LanLink::Update(const DeviceSnapshot& d) {
  const auto wanted = ToLan(d);
  const auto current = responder_.Device(d.mac);
  // A change the responder itself applied comes back here: nothing to do.
  if (current && current->network == wanted.network && current->adminPassword == wanted.adminPassword &&
      current->misbehaviour == wanted.misbehaviour)
    return;
  // Re-adding keeps the responder's copy whole: network, password, presence.
  responder_.RemoveDevice(d.mac);
  responder_.AddDevice(wanted);
}

}  // namespace devsim
