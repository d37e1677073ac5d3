// A fixture of tools/include_graph.py.
