"""Exceptions of the Corvalt package shared by its extension modules."""


class NodeNotFound(KeyError):
    """A node id that is not in the graph. Raised with the node id as its argument."""

    def __init__(self, node):
        super().__init__(node)
        self.node = node

    def __str__(self):
        return f"The node {self.node} is not in the graph."
