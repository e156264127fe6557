unit Pairs;
{$mode objfpc}
interface
type
  TPair = record
    X: Integer;
  end;
implementation
end.
