"""Helpers for tools/make_media.py: every picture and sound of the game is made here."""
