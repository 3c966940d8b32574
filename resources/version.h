/* The version of Quillora, for the version resources and for quillora-cli --version. Plain
   preprocessor definitions so that the resource compiler can read them too. */
#pragma once

#define QUILLORA_PRODUCT_NAME "Quillora v1.1"
#define QUILLORA_VERSION_TEXT "1.01"
