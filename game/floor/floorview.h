// The seams between the floor pieces here (waitress, kitchen, shelves) and the
// level's object graph, parties and tables that are built elsewhere. The graph
// implements IFloorView; each eating station (table or bar section)
// implements ITableView. Floor objects keep station ids and ask the view, so
// a station that went away is never reached through an old pointer.
#pragma once

#include <vector>

class IStation;
class TFoodStation;

// What the kitchen, the shelves and the waitress need to know of one eating
// station and its seated party.
class ITableView {
public:
    virtual ~ITableView() = default;
    // Identity carried by tickets, food and dishes (bar sections from 100).
    virtual int TableNumber() const = 0;
    // The seated party's state (eCustomerStates); -1 without a party.
    virtual int PartyState() const = 0;
    virtual bool PartyWantsSnack() const = 0;
    virtual int HighChairsNeeded() const = 0;
    virtual bool SpillPresent() const = 0;
};

// What the floor pieces need of the level's object graph.
class IFloorView {
public:
    virtual ~IFloorView() = default;
    // The station with this id among the level's clickable stations (the
    // general list and the food stations); null once it is gone.
    virtual IStation* FindStation(int stationId) = 0;
    // Every eating station (tables and bar sections), in the graph's order.
    virtual std::vector<ITableView*> EatingStations() = 0;
    // The kitchen's food stations in counter order.
    virtual std::vector<TFoodStation*> FoodStations() = 0;
};

// A plate thrown away is cooked again: the table's order goes to the first
// idle station of `kitchen`, after the orders cooking there. Defined with the
// food stations (foodstation.cpp), so the waitress, who asks for it, needs
// no food station of her own.
void ReorderFood(const std::vector<TFoodStation*>& kitchen, int tableNumber);
