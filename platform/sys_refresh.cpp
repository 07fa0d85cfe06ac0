// Without a window system there are no messages to handle.
namespace plat {
void process_waiting_messages() {}
}  // namespace plat
