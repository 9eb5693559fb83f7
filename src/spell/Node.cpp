#include "Node.h"

CNode::~CNode() = default;
