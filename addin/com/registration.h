#pragma once
// Registration of the add-in's class in the registry, and its removal. Both raise a
// Failure when the registry refuses.
namespace addin::com {

// Writes the class (its name, the DLL as in-process server with apartment threading, the
// ProgID), the ProgID's class id, and the type library with the add-in's own interface.
void register_server();
// Removes exactly what register_server wrote. Keys that the other bitness's registration
// of the add-in still needs (ProgID, type library) stay while that one is registered.
void unregister_server();

}  // namespace addin::com
