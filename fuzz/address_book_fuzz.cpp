// PPad.dat, the address book: any file loads, and what the book then writes loads back
// to the same file (a load-then-save of a file the program wrote gives the same bytes).
#include "addressbook/address_book.h"
#include "fuzz_support.h"

using namespace parupo;

namespace {

std::string loadAndWrite(std::string_view bytes) {
  fuzz::scratchFile("PPad.dat", bytes);
  AddressBook book;
  book.AdrsLoad(fuzz::scratchFolder());
  return fuzz::fileBytes(book.fileLines());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string once = loadAndWrite(fuzz::bytesOf(data, size));
  fuzz::require(loadAndWrite(once) == once, "PPad.dat written by the program reads back unchanged", once);
  return 0;
}
