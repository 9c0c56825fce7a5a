#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/sha256.h"

namespace {

using platform::Sha256Engine;

struct Vector {
    std::string message;
    const char* digest;
};

// The examples of FIPS 180-4 (and of its companion document of examples), and messages of 'a's
// whose padding falls on each side of a block's end, as OpenSSL computes them.
const Vector vectors[] = {
    {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
     "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
     "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
    {std::string(63, 'a'), "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
    {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
    {std::string(119, 'a'), "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"},
};

TEST(Sha256, BothEnginesGiveTheStandardDigests)
{
    for (Sha256Engine engine : {Sha256Engine::Portable, Sha256Engine::Fastest})
        for (const Vector& v : vectors)
            EXPECT_EQ(platform::sha256Hex(v.message, engine), v.digest)
                << "engine " << static_cast<int>(engine) << ", " << v.message.size() << " bytes";
}

// The processor's instructions and the portable code are written apart: over every length of a
// few blocks, each a message of random bytes, they must agree.
TEST(Sha256, TheInstructionsAgreeWithThePortableCodeAtEveryLength)
{
    if (!platform::hasShaInstructions())
        GTEST_SKIP() << "this processor has no SHA instructions";
    std::mt19937 random(20240517);
    std::string message;
    for (std::size_t length = 0; length <= 1000; ++length) {
        ASSERT_EQ(platform::sha256Hex(message, Sha256Engine::Fastest),
                  platform::sha256Hex(message, Sha256Engine::Portable))
            << length << " bytes";
        message += static_cast<char>(random());
    }
}

}  // namespace
