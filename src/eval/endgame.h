// Known endings by material signature.
#pragma once

void build_ending_hash();
