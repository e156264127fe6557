unit Features;
{$mode objfpc}
interface
const
  FastPath = True;
implementation
end.
