#pragma once
// The device addresses the simulator gives to an interface of a private
// network namespace, so that every device serves on an address of its own.
// It remembers which addresses it added, and gives back only those: an
// address the interface held before (the namespace's own) is never removed.

#include <map>
#include <set>
#include <string>

namespace devsim {

class InterfaceAddresses {
 public:
  explicit InterfaceAddresses(std::string interfaceName) : interface_(std::move(interfaceName)) {}

  // Checks the interface name and prepares the interface, so that removing
  // one address of a subnet leaves the subnet's others in place. False, with
  // a message, for a name that cannot be used.
  bool Prepare(std::string& error);

  // Makes `ip` an address of this machine: nothing to do when some interface
  // holds it already, else it goes to the interface with the netmask's prefix.
  bool Take(const std::string& ip, const std::string& netmask, std::string& error);

  // Removes every address added here that `inUse` does not hold.
  void ReleaseAllBut(const std::set<std::string>& inUse);

  const std::string& interfaceName() const { return interface_; }
  // The addresses added here and not yet removed, with their prefix lengths.
  const std::map<std::string, int>& added() const { return added_; }

 private:
  std::string interface_;
  std::map<std::string, int> added_;
  // Removing a subnet's first address would take its other addresses with
  // it unless the interface promotes them; without that nothing is removed.
  bool canRelease_ = false;
};

// True when an interface of this machine holds the IPv4 address.
bool IsLocalAddress(const std::string& ip);

}  // namespace devsim
