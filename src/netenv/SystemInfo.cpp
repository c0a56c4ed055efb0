#include "netenv/SystemInfo.h"

#include "netenv/AddressText.h"
#include "netenv/OsDescription.h"
#include "platform/NetworkPort.h"
#include "platform/SystemQueries.h"

namespace korvane {

namespace {

AdapterInventoryEntry ToEntry(const AdapterRecord& adapter) {
    AdapterInventoryEntry entry;
    entry.name = adapter.name;
    entry.description = adapter.description;
    entry.index = adapter.index;
    entry.type = adapter.type;
    entry.dhcp_enabled = adapter.dhcp_enabled;
    entry.hardware_address = FormatHardwareAddress(adapter.hardware_address);
    if (!adapter.addresses.empty()) {
        entry.address = FormatDottedAddress(adapter.addresses.front().address);
        entry.mask = FormatDottedAddress(adapter.addresses.front().mask);
    }
    entry.gateway = FormatDottedAddress(adapter.gateway);
    if (adapter.dhcp_enabled) {
        entry.dhcp_server = FormatDottedAddress(adapter.dhcp_server);
    }
    return entry;
}

std::string OsLine(SystemQueries& system) {
    OsDescription os;
    DescribeOs(system, os);
    return os.product_name + ", " + os.edition + ", " + ArchitectureName(os.architecture) + ", " +
           os.version.service_pack + "\r\n";
}

std::string BrowserLine(SystemQueries& system) {
    std::string version;
    if (!system.ReadBrowserVersion(version)) {
        return {};
    }
    return "Explorer Version ==>> " + version + "\r\n";
}

std::string AdapterLines(NetworkPort& network) {
    AdapterInventory inventory;
    ReadAdapterInventory(network, inventory);
    std::string lines;
    int number = 1;
    for (const AdapterInventoryEntry& entry : inventory.entries) {
        lines += "#" + std::to_string(number++) + ". " + entry.description + " (" + entry.address +
                 ")\r\n";
    }
    return lines;
}

}  // namespace

int ReadAdapterInventory(NetworkPort& network, AdapterInventory& inventory) {
    inventory.entries.clear();
    std::vector<AdapterRecord> adapters;
    const int error = network.ReadAdapters(adapters);
    if (error != 0) {
        return error;
    }
    for (const AdapterRecord& adapter : adapters) {
        if (inventory.entries.size() == kMaxInventoryAdapters) {
            break;
        }
        inventory.entries.push_back(ToEntry(adapter));
    }
    return 0;
}

std::string BuildSystemInfo(NetworkPort& network, SystemQueries& system) {
    return OsLine(system) + BrowserLine(system) + AdapterLines(network);
}

}  // namespace korvane
