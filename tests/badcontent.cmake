# Damaged content: every model, texture, status image, clip and shader,
# missing, empty, cut in half, random bytes and (images) the wrong size.
felidora_test(badcontent_tests BadContentTest.cpp)
